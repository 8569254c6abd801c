// What a person who works from the keyboard or a screen reader meets in the main window and the
// dialogs: a mnemonic on every menu command, label and button, none twice in one place, the
// captions still the same words; F1 for the help; Escape to cancel.

#include "core/Messages.h"
#include "core/Register.h"
#include "gui/CopyToMediaDialog.h"
#include "gui/CorrectionDialog.h"
#include "gui/MainWindow.h"
#include "gui/NewReportDialog.h"
#include "support/FakePlatform.h"
#include "support/ProgramFolder.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

using namespace kvor;

namespace {

// The letter after a single '&', lower-cased; a null character when there is none.
QChar Mnemonic(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (caption[i + 1] != u'&') {
                return caption[i + 1].toLower();
            }
            ++i;
        }
    }
    return {};
}

QString WithoutMnemonic(QString caption)
{
    return caption.remove(u'&');
}

// A place where mnemonics must differ: the controls of one dialog, or one level of a menu.
struct Place
{
    QString name;
    QList<QPair<QString, QString>> captions; // caption, the words a person sees and hears
};

QList<Place> PlacesOf(QWidget& window)
{
    QList<Place> places;
    if (auto* main = qobject_cast<QMainWindow*>(&window)) {
        Place bar{QStringLiteral("menu bar"), {}};
        for (QAction* a : main->menuBar()->actions()) {
            bar.captions.append({a->text(), a->iconText()});
            if (QMenu* menu = a->menu()) {
                Place sub{WithoutMnemonic(a->text()), {}};
                for (QAction* item : menu->actions()) {
                    sub.captions.append({item->text(), item->iconText()});
                }
                places << sub;
            }
        }
        places << bar;
        return places;
    }
    Place dialog{window.objectName(), {}};
    for (auto* button : window.findChildren<QAbstractButton*>()) {
        // "..." has no letter to mark; its frame's mnemonic reaches the file name next to it.
        if (button->text() != u"...") {
            dialog.captions.append({button->text(), button->accessibleName()});
        }
    }
    for (auto* label : window.findChildren<QLabel*>()) {
        if (label->buddy() && label->buddy()->focusPolicy() != Qt::NoFocus) {
            dialog.captions.append({label->text(), WithoutMnemonic(label->text())});
        }
    }
    for (auto* frame : window.findChildren<QGroupBox*>()) {
        if (!frame->title().isEmpty()) {
            dialog.captions.append({frame->title(), frame->accessibleName()});
        }
    }
    places << dialog;
    return places;
}

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

const QList<QPair<const char*, WindowMaker>>& Windows()
{
    static const QList<QPair<const char*, WindowMaker>> windows = {
        {"main window", [] { return std::make_unique<MainWindow>(); }},
        {"new report",
         [] { return std::make_unique<NewReportDialog>(*ReadRegister(), std::optional<int>(0)); }},
        {"correction", [] { return std::make_unique<CorrectionDialog>(); }},
        {"copy", [] { return std::make_unique<CopyToMediaDialog>(); }},
    };
    return windows;
}

} // namespace

class KeyboardTest : public test::WindowFixture
{
    Q_OBJECT

    std::unique_ptr<QWidget> shown(int window)
    {
        auto w = Windows()[window].second();
        w->show();
        w->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(w.get())); }();
        return w;
    }

    static void eachWindow(bool dialogsOnly)
    {
        QTest::addColumn<int>("window");
        for (int i = dialogsOnly ? 1 : 0; i < Windows().size(); ++i) {
            QTest::newRow(Windows()[i].first) << i;
        }
    }

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void everyCaptionHasItsOwnMnemonicAndReadsAsBefore_data() { eachWindow(false); }
    void everyCaptionHasItsOwnMnemonicAndReadsAsBefore()
    {
        QFETCH(int, window);
        const auto w = Windows()[window].second();
        for (const Place& place : PlacesOf(*w)) {
            QVERIFY2(!place.captions.isEmpty(), qPrintable(place.name));
            QSet<QChar> letters;
            for (const auto& [caption, heard] : place.captions) {
                const QString where = place.name + QStringLiteral(": ") + caption;
                const QChar letter = Mnemonic(caption);
                QVERIFY2(!letter.isNull(), qPrintable(where));
                QVERIFY2(!letters.contains(letter), qPrintable(where));
                letters.insert(letter);
                // A screen reader says the caption's words, without the marker.
                QCOMPARE(heard, WithoutMnemonic(caption));
            }
        }
    }

    void f1OpensTheHelp_data() { eachWindow(false); }
    // F1 opens the guide at the window's own section, Esc closes it; without the guide, asking
    // for it says where it was looked for.
    void f1OpensTheHelp()
    {
        QFETCH(int, window);
        static const char* const sections[] = {"Главният прозорец", "Въвеждане на документи",
                                               "Корекция на документ",
                                               "Съхранение на файл на дискета"};
        m_folder->write("help.html", test::ReadBytes(test::ProgramFolder::sampleFile("help.html")));
        const auto w = shown(window);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(),
                        Qt::Key_F1);
        auto* help = w->findChild<QWidget*>(QStringLiteral("helpWindow"));
        QVERIFY(help && help->isVisible());
        auto* contents = help->findChild<QTreeWidget*>(QStringLiteral("helpContents"));
        QVERIFY(contents->currentItem());
        QCOMPARE(contents->currentItem()->text(0), QString::fromUtf8(sections[window]));
        QTest::keyClick(contents, Qt::Key_Escape);
        QTRY_VERIFY(w->findChild<QWidget*>(QStringLiteral("helpWindow")) == nullptr ||
                    !help->isVisible());
        QVERIFY(m_fake->messages.isEmpty());

        QFile::remove(m_folder->filePath("help.html"));
        QTest::keyClick(w.get(), Qt::Key_F1);
        QCOMPARE(m_fake->texts(),
                 QStringList({msg::kNoHelpFile +
                              QDir::toNativeSeparators(m_folder->filePath("help.html"))}));
    }

    void escapeCancelsADialog_data() { eachWindow(true); }
    void escapeCancelsADialog()
    {
        QFETCH(int, window);
        const auto w = shown(window);
        auto* dialog = qobject_cast<QDialog*>(w.get());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(),
                        Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!QFileInfo::exists(m_folder->filePath("Data")));
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
