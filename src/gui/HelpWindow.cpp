#include "gui/HelpWindow.h"

#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/UserPrompts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <kvor/Version.h>

namespace kvor {

namespace {
constexpr int kBlockRole = Qt::UserRole + 1;
// The guide's text gets three times the width of its table of contents.
constexpr int kTextStretch = 3;
// Wide enough for a heading of the table of contents and a line of the guide.
constexpr int kContentsChars = 46;
constexpr int kTextChars = 90;
constexpr int kTextLines = 36;
constexpr double kMostOfTheScreen = 0.9;

// The section of the guide about each window, by the window's object name.
QString SectionFor(const QWidget* window)
{
    static const QHash<QString, QString> sections{
        {QStringLiteral("mainWindow"), QStringLiteral("Главният прозорец")},
        {QStringLiteral("newReportDialog"), QStringLiteral("Въвеждане на документи")},
        {QStringLiteral("correctionDialog"), QStringLiteral("Корекция на документ")},
        {QStringLiteral("copyToMediaDialog"), QStringLiteral("Съхранение на файл на дискета")},
        {QStringLiteral("frmSpravka"), QStringLiteral("Прозорецът „Справка“")},
    };
    return window ? sections.value(window->objectName()) : QString();
}
} // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("KVOR - Помощ"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, true);

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setAccessibleName(QStringLiteral("Съдържание"));
    m_contents->setHeaderLabel(QStringLiteral("Съдържание"));
    m_contents->header()->hide();
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setAccessibleName(QStringLiteral("Помощна информация"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(true);

    auto* split = new QSplitter(this);
    split->addWidget(m_contents);
    split->addWidget(m_browser);
    split->setStretchFactor(1, kTextStretch);
    const QFontMetrics metrics = fontMetrics();
    const int contentsWidth = metrics.averageCharWidth() * kContentsChars;
    const int textWidth = metrics.averageCharWidth() * kTextChars;
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split);
    QSize size(contentsWidth + textWidth, metrics.lineSpacing() * kTextLines);
    // Large fonts or display scaling must not push the window off a small screen.
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * kMostOfTheScreen);
    }
    resize(size);
    // The contents keep their share of a window made narrower.
    const int shared = size.width() * contentsWidth / (contentsWidth + textWidth);
    split->setSizes({shared, size.width() - shared});

    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::showItem);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::showItem);
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the guide, from its contents as from its text.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpWindow::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_browser->setHtml(QString::fromUtf8(file.readAll()));
    setWindowTitle((m_browser->documentTitle().isEmpty() ? QStringLiteral("KVOR - Помощ")
                                                         : m_browser->documentTitle()) +
                   QStringLiteral(" (версия ") + QLatin1String(kVersion) + u')');

    // The table of contents is made from the headings of the guide: level 1 and 2 at the top,
    // level 3 below the heading before it.
    m_contents->clear();
    QTreeWidgetItem* parent = nullptr;
    const QTextDocument* doc = m_browser->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level <= 0 || b.text().trimmed().isEmpty()) {
            continue;
        }
        auto* item = new QTreeWidgetItem({b.text().trimmed()});
        item->setData(0, kBlockRole, b.position());
        if (level <= 2 || !parent) {
            m_contents->addTopLevelItem(item);
            parent = item;
        } else {
            parent->addChild(item);
        }
    }
    m_contents->expandAll();
    return true;
}

void HelpWindow::showItem(QTreeWidgetItem* item)
{
    if (!item) {
        return;
    }
    const QTextBlock block = m_browser->document()->findBlock(item->data(0, kBlockRole).toInt());
    if (!block.isValid()) {
        return;
    }
    QTextCursor cursor(block);
    m_browser->setTextCursor(cursor);
    const QRectF box = m_browser->document()->documentLayout()->blockBoundingRect(block);
    m_browser->verticalScrollBar()->setValue(static_cast<int>(box.top()));
}

bool HelpWindow::showSection(const QString& heading)
{
    const auto found = m_contents->findItems(heading, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) {
        return false;
    }
    m_contents->setCurrentItem(found.first());
    showItem(found.first());
    return true;
}

void ShowHelp(QWidget* owner)
{
    static QPointer<HelpWindow> window;
    const QString path = InstallPath(QString::fromLatin1(kHelpFileName));
    if (!QFileInfo(path).isFile()) {
        prompts().showMessage(msg::kNoHelpFile + QDir::toNativeSeparators(path), MsgButtons::Ok,
                              MsgIcon::Exclamation, msg::kTitleWarning);
        return;
    }
    if (!window || window->parentWidget() != owner) {
        delete window;
        window = new HelpWindow(owner);
    }
    if (!window->loadFile(path)) {
        prompts().showMessage(msg::kNoHelpFile + QDir::toNativeSeparators(path), MsgButtons::Ok,
                              MsgIcon::Exclamation, msg::kTitleWarning);
        delete window;
        return;
    }
    window->showSection(SectionFor(owner));
    window->show();
    window->raise();
    window->activateWindow();
}

void AddHelpKey(QWidget* window)
{
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setObjectName(QStringLiteral("helpKey"));
    QObject::connect(key, &QShortcut::activated, window, [window] { ShowHelp(window); });
}

} // namespace kvor
