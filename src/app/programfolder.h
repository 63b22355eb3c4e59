#pragma once

// The program's own folder: where the help file and the samples are found.
// In the build tree that is the folder of the executable, next to which the
// build copies qrnhelp.htm, its pictures and samples/; once installed it is
// share/quorin beside bin/.

#include <QString>

// The folder with a trailing "/".
QString programFolder();

// programFolder() followed by "qrnhelp.htm".
QString helpFilePath();

// The search behind programFolder(), given the executable's folder: that
// folder when it holds qrnhelp.htm, else the data folder at `dataRelative`
// from it when that exists, else the executable's folder.
QString findProgramFolder(const QString &exeDir, const QString &dataRelative);

// Tests point the program at a folder of their choice; an empty folder
// goes back to the search.
void setProgramFolderOverride(const QString &folder);
