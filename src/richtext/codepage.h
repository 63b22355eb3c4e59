#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows code pages, the 8-bit face of the editor and the encoding of RTF's
// \'hh bytes. Conversions go through glibc's iconv; a character the code page
// cannot hold becomes "?" on the way out, an undecodable byte U+FFFD on the
// way in (never a dropped character).
namespace richtext::codepage {

// Default ANSI code page of a Windows locale identifier (1033 -> 1252,
// 1049 -> 1251, 1041 -> 932 ...). Unknown identifiers give 1252.
int forLcid(int lcid);

// A representative locale for a code page (1252 -> 1033, 1251 -> 1049 ...).
int lcidFor(int codePage);

// Code page of an RTF \fcharset value (0 -> 1252, 2 -> symbol (no
// conversion, returns 42), 128 -> 932, 204 -> 1251 ...); -1 when unknown.
int forCharset(int charset);

// The \fcharset value that belongs to a code page (1252 -> 0, 1251 -> 204 ...).
int charsetFor(int codePage);

// True for code pages whose characters take two bytes (932, 936, 949, 950).
bool isDoubleByte(int codePage);
// True when `lead` starts a two-byte character in that code page.
bool isLeadByte(int codePage, unsigned char lead);

QString toUnicode(QByteArrayView bytes, int codePage);
QByteArray fromUnicode(QStringView text, int codePage);

// Whether `ch` survives a round trip through the code page.
bool canEncode(QChar ch, int codePage);

// Code page of the machine's locale (Language's default): 1252 unless the
// environment's locale names another Windows family.
int systemDefaultLcid();

} // namespace richtext::codepage
