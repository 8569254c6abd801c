#include "gui/frmHelp.h"

#include "core/Messages.h"
#include "core/Platform.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <kvor/Version.h>

namespace kvor {

namespace {
constexpr int kBlockRole = Qt::UserRole + 1;
} // namespace

frmHelp::frmHelp(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("KVOR - Помощ"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, true);
    resize(900, 620);

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("tvwContents"));
    m_contents->setAccessibleName(QStringLiteral("Съдържание"));
    m_contents->setHeaderLabel(QStringLiteral("Съдържание"));
    m_contents->header()->hide();
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setAccessibleName(QStringLiteral("Помощна информация"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(true);

    auto* split = new QSplitter(this);
    split->addWidget(m_contents);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 3);
    split->setSizes({240, 660});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);

    connect(m_contents, &QTreeWidget::itemActivated, this, &frmHelp::showItem);
    connect(m_contents, &QTreeWidget::itemClicked, this, &frmHelp::showItem);
}

bool frmHelp::loadFile(const QString& path)
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

void frmHelp::showItem(QTreeWidgetItem* item)
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

bool frmHelp::showSection(const QString& heading)
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
    static QPointer<frmHelp> window;
    const QString path = InstallPath(QString::fromLatin1(kHelpFileName));
    if (!QFileInfo(path).isFile()) {
        platform().MsgBox(msg::kNoHelpFile + QDir::toNativeSeparators(path), MsgButtons::Ok,
                          MsgIcon::Exclamation, msg::kTitleWarning);
        return;
    }
    if (!window || window->parentWidget() != owner) {
        delete window;
        window = new frmHelp(owner);
    }
    if (!window->loadFile(path)) {
        platform().MsgBox(msg::kNoHelpFile + QDir::toNativeSeparators(path), MsgButtons::Ok,
                          MsgIcon::Exclamation, msg::kTitleWarning);
        delete window;
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kvor
