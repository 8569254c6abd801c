#pragma once
// The framed file name with its "..." button that the correction and copy dialogs share.

#include <QString>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kvor {

struct FileChoice
{
    QGroupBox* frame;
    QLineEdit* fileName;
    QPushButton* browse;
};

// The frame (its title carries the mnemonic; the accessible name is the title without it), a
// file name wide enough for a long path and a "..." button as narrow as its dots allow.
FileChoice MakeFileChoice(QWidget* parent, const QString& title);

} // namespace kvor
