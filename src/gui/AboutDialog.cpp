#include "gui/AboutDialog.h"

#include "gui/UserPrompts.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportName.h"
#include "gui/Icons.h"

#include <kvor/Version.h>

#include <QDesktopServices>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace kvor {

const QString kLicenceText = QStringLiteral(
    "Собствен лиценз, всички права запазени. Програмата се предоставя на общините за "
    "изготвяне на месечната справка за дълга им и не може да бъде копирана, променяна или "
    "разпространявана извън тази употреба без писмено разрешение.");

namespace {

constexpr int kIconSize = 64;

// A read-only value with its caption: the text may be selected and copied (Alt and the caption's
// letter reach it), and a screen reader hears the caption and the value.
QLabel* addValue(QFormLayout* form, const char* name, const QString& caption, const QString& text)
{
    auto* value = new QLabel(text);
    value->setObjectName(QString::fromLatin1(name));
    value->setTextFormat(Qt::PlainText);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QString spoken = caption;
    spoken.remove(u':').remove(u'&');
    // A label's name replaces its text for a screen reader: the name says both.
    value->setAccessibleName(spoken + QStringLiteral(": ") + text);
    auto* label = new QLabel(caption);
    label->setBuddy(value);
    label->setAccessibleName(spoken);
    form->addRow(label, value);
    return value;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("За програмата"));
    setAccessibleName(windowTitle());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgIcon"));
    picture->setPixmap(SvgIcon(icon::kApp).pixmap(kIconSize, kIconSize));
    picture->setAccessibleName(QStringLiteral("Знак на KVOR"));
    auto* title = new QLabel(
        QStringLiteral("KVOR\nСправка за структурата и размера на дълга на община"), this);
    title->setObjectName(QStringLiteral("lblProgram"));
    title->setTextFormat(Qt::PlainText);
    title->setAccessibleName(title->text());
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* heading = new QHBoxLayout;
    heading->addWidget(picture);
    heading->addWidget(title, 1);

    auto* form = new QFormLayout;
    addValue(form, "lblVersion", QStringLiteral("&Версия:"), QString::fromLatin1(kVersion));
    addValue(form, "lblLicence", QStringLiteral("&Лиценз:"), kLicenceText);
    addValue(form, "lblDataFolder", QStringLiteral("&Справките се пазят в:"),
             QDir::toNativeSeparators(DataFolder()));
    addValue(form, "lblQtVersion", QStringLiteral("&Qt:"), QString::fromLatin1(qVersion()));

    auto* open = new QPushButton(QStringLiteral("&Отвори папката със справките"), this);
    open->setObjectName(QStringLiteral("cmdOpenFolder"));
    open->setAccessibleName(QStringLiteral("Отвори папката със справките"));
    open->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("&Затвори"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAccessibleName(QStringLiteral("Затвори"));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(open, &QPushButton::clicked, this, &AboutDialog::openReportsFolder);
    connect(close, &QPushButton::clicked, this, &AboutDialog::accept);
}

void AboutDialog::openReportsFolder()
{
    // The folder is made on first use; the user may ask for it before any report exists.
    EnsureDataFolder();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(DataFolder()))) {
        prompts().showMessage(QStringLiteral("Папката не може да бъде отворена: ") +
                              QDir::toNativeSeparators(DataFolder()),
                          MsgButtons::Ok, MsgIcon::Exclamation, msg::kTitleWarning);
    }
}

} // namespace kvor
