#pragma once

#include "richtext/oleobject.h"

#include <QList>
#include <QString>

// What can be done with an embedded object made from a file. Objects of
// other classes (a spreadsheet another program embedded) have no verbs
// here: their program is not ours to run.
namespace objectverbs {

// Verb numbers as containers know them; negative ones are the standard
// verbs a caller may ask for without reading the list.
enum : int {
    Open = 0,         // the primary verb
    SaveCopyAs = 1,
    PrimaryVerb = int(0xFFFF0000), // stands for the primary verb, 0
    ShowVerb = -1,
    OpenVerb = -2,
};

struct Verb
{
    QString name; // menu caption
    int number = 0;
};

QList<Verb> verbsOf(const richtext::ole::Object &object);

// Writes an embedded object's file into a folder of its own inside the
// private folder (readable by this user only, never executable) and gives
// its path; a linked object's path is the file it names. Throws EditorError
// when the copy cannot be written.
QString fileToOpen(const richtext::ole::Object &object);

// The object's file, for "Save copy as...": an embedded object's bytes, or
// the linked file's. Throws EditorError when a linked file cannot be read.
QByteArray fileContents(const richtext::ole::Object &object);

} // namespace objectverbs
