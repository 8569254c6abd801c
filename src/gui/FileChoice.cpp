#include "gui/FileChoice.h"

#include "core/Messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace kvor {

namespace {
constexpr int kPathChars = 60;
constexpr int kBrowsePadLines = 2;
} // namespace

FileChoice MakeFileChoice(QWidget* parent, const QString& title)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(QStringLiteral("fileFrame"));
    frame->setAccessibleName(QString(title).remove(u'&'));
    auto* fileName = new QLineEdit(frame);
    fileName->setObjectName(QStringLiteral("fileNameField"));
    fileName->setAccessibleName(QStringLiteral("Файл"));
    fileName->setMinimumWidth(fileName->fontMetrics().averageCharWidth() * kPathChars);
    auto* browse = new QPushButton(QStringLiteral("..."), frame);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAccessibleName(msg::kCopyChooseFileTitle);
    browse->setToolTip(msg::kCopyChooseFileTitle);
    browse->setAutoDefault(false);
    // As narrow as its three dots allow, so that the file name gets the room.
    browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance(browse->text()) +
                            browse->fontMetrics().height() * kBrowsePadLines);
    auto* fileRow = new QHBoxLayout(frame);
    fileRow->addWidget(fileName, 1);
    fileRow->addWidget(browse);
    return {frame, fileName, browse};
}

} // namespace kvor
