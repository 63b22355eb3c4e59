#pragma once

#include "richtext/rtfstate.h"

#include <QHash>
#include <QSize>
#include <QString>
#include <QTextImageFormat>

class QTextDocument;

// Turns the pictures and objects the RTF reader finds into image formats of
// a document. PNG and JPEG (and device-independent bitmaps) are shown as
// they are; any other kind shows as a framed placeholder of the picture's
// size. Every picture keeps its bytes and keywords so that it is written
// back unchanged.
namespace richtext {

class PictureFactory
{
public:
    explicit PictureFactory(QTextDocument *document) : m_document(document) {}

    QTextImageFormat imageFormat(const rtf::Picture &picture);

    // Largest side of a shown picture, px; beyond it the picture is scaled
    // down keeping its proportions.
    static constexpr int MaxSide = 4000;

    // The display size in px (96 dpi) of a picture, from its goal size,
    // scale and natural size.
    static QSizeF displaySize(const rtf::Picture &picture, QSize natural);

private:
    QString addResource(const QVariant &value);
    QString placeholder(QSizeF size);

    QTextDocument *m_document;
    QHash<quint64, QString> m_placeholders; // by size, shared by equal pictures
};

} // namespace richtext
