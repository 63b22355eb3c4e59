#pragma once

// "About QRN": the program's name, picture, version and build date, a few
// lines of thanks, and two figures of the machine's memory.

#include "widgets/memorystatus.h"

#include <QDialog>

class QLabel;

class AboutBox : public QDialog
{
    Q_OBJECT

public:
    // Reads the memory figures now; `status` stands in for the machine's.
    explicit AboutBox(QWidget *parent = nullptr);
    AboutBox(const MemoryStatus &status, QWidget *parent);

    // "Version 0.1.0, built 2024-05-01": the project's version and the day
    // the build was configured.
    static QString versionText();
};
