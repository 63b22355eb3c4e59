#pragma once

class QTextDocument;
class QTextImageFormat;

namespace richtext {

class RtfTextEncoder;
class RtfWriterOutput;

// Writes the picture or embedded object behind an image character:
// {\pict\pngblip ...} for a picture Qt shows (PNG and JPEG bytes go out as
// they are, any other image as PNG), and pictures or objects kept as bytes
// (prop::ObjectData) with their original kind and sizes. Returns false when
// the format names nothing the document can give.
bool writeRtfPicture(RtfWriterOutput &out, RtfTextEncoder &encoder, const QTextDocument &document,
                     const QTextImageFormat &format, int codePage);

} // namespace richtext
