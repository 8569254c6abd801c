#include "gui/DesktopPlatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardPaths>
#include <kvor/InstallDirs.h>

namespace kvor {

namespace {

// The window's icon and its close, minimise and maximise buttons, in line heights.
constexpr int kTitleBarReserveLines = 8;

} // namespace

int DesktopPlatform::MinimumBoxWidth(const QString& title, const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(title) + metrics.height() * kTitleBarReserveLines;
}

DesktopPlatform::DesktopPlatform()
    // Lets the start-up tests, which run the program as a process, read what it would show.
    : m_messageLog(qEnvironmentVariable("KVOR_MESSAGE_LOG"))
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    m_folders = ChooseFolders(exeFolder, exeFolder + u'/' + QLatin1String(kInstalledDataFromBin),
                              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

MsgAnswer DesktopPlatform::showMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                                       const QString& title)
{
    const QString caption = title.isEmpty() ? QString::fromLatin1(kDefaultTitle) : title;
    if (!m_messageLog.isEmpty()) {
        QFile log(m_messageLog);
        if (log.open(QIODevice::Append)) {
            QString line = caption + u'\t' + QString::number(static_cast<int>(icon)) + u'\t' + text;
            line.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
            log.write(line.toUtf8() + '\n');
        }
        switch (buttons) {
        case MsgButtons::Ok:
        case MsgButtons::OkCancel:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        }
    }

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    QPushButton* first = nullptr;
    auto add = [&](const QString& label, QMessageBox::ButtonRole role) {
        QPushButton* b = box.addButton(label, role);
        if (!first) {
            first = b;
        }
        return b;
    };
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    switch (buttons) {
    case MsgButtons::Ok:
        ok = add(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    case MsgButtons::OkCancel:
        ok = add(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = add(QStringLiteral("&Отказ"), QMessageBox::RejectRole);
        break;
    case MsgButtons::YesNo:
        yes = add(QStringLiteral("&Да"), QMessageBox::YesRole);
        no = add(QStringLiteral("&Не"), QMessageBox::NoRole);
        break;
    case MsgButtons::YesNoCancel:
        yes = add(QStringLiteral("&Да"), QMessageBox::YesRole);
        no = add(QStringLiteral("&Не"), QMessageBox::NoRole);
        cancel = add(QStringLiteral("&Отказ"), QMessageBox::RejectRole);
        break;
    }
    box.setDefaultButton(first);
    // A short text would otherwise give a box too narrow for its own title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(MinimumBoxWidth(caption, box.font()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (cancel) {
        box.setEscapeButton(cancel);
    } else if (buttons == MsgButtons::Ok) {
        box.setEscapeButton(ok);
    }
    // A busy pointer must not hide that the program waits for an answer.
    const bool busy = m_busy > 0;
    if (busy) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    box.exec();
    if (busy) {
        QApplication::restoreOverrideCursor();
    }
    const auto* clicked = box.clickedButton();
    if (clicked == yes && yes) {
        return MsgAnswer::Yes;
    }
    if (clicked == no && no) {
        return MsgAnswer::No;
    }
    if (clicked == cancel && cancel) {
        return MsgAnswer::Cancel;
    }
    if (!clicked && cancel) {
        return MsgAnswer::Cancel;
    }
    return ok ? MsgAnswer::Ok : (cancel ? MsgAnswer::Cancel : MsgAnswer::Ok);
}

QString DesktopPlatform::chooseFileToOpen(const OpenFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir,
                       request.nameFilters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void DesktopPlatform::quit(int exitStatus)
{
    // Every event loop returns, the modal dialogs' first; start-up then returns the status.
    QCoreApplication::exit(exitStatus);
}

QDate DesktopPlatform::Today() const
{
    return QDate::currentDate();
}

void DesktopPlatform::SetBusy(bool busy)
{
    if (busy) {
        ++m_busy;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0) {
        --m_busy;
        QApplication::restoreOverrideCursor();
    }
}

} // namespace kvor
