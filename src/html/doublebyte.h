#pragma once

namespace html {

// The East Asian code pages, whose characters are one byte or two (a lead
// byte and a trail byte): 932 (Japanese), 936 (Simplified Chinese), 949
// (Korean) and 950 (Traditional Chinese).
bool isDoubleByte(int codePage);
bool isLeadByte(int codePage, unsigned char byte);

// The character of one byte (`trail` < 0) or of a lead and a trail byte;
// 0xFFFD when the code page has no such character, 0 when the code page
// cannot be decoded on this system.
char32_t decodeDoubleByte(int codePage, unsigned char lead, int trail);

} // namespace html
