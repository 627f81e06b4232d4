#include "window/window_reports.h"

#include "editor/window_menus.h"
#include "window/dialogs.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillfen {
namespace {

// Long enough to read a line, short enough not to hide the prefix and profile for long.
constexpr int kInformationShown = 5000;

} // namespace

MessageLog::MessageLog(QWidget* parent) : QDialog(parent), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("messageLog"));
    setWindowTitle(QString::fromLatin1(window::kMessages));
    list_->setObjectName(QStringLiteral("messageList"));
    list_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* column = new QVBoxLayout(this);
    column->addWidget(list_);
    column->addWidget(buttons);
    resize(520, 300);
}

void MessageLog::add(const QString& text) {
    list_->addItem(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                   QStringLiteral("  ") + text);
    list_->scrollToBottom();
}

ProblemList::ProblemList(QWidget* parent, std::function<void(const std::string& key)> chosen)
    : QDialog(parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("problemLog"));
    setWindowTitle(QString::fromLatin1(window::kProblems));
    list_->setObjectName(QString::fromLatin1(window::kProblemList.name));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    QStringList titles;
    for (const char* title : window::kProblemColumns)
        titles << QString::fromLatin1(title);
    list_->setHeaderLabels(titles);
    auto choose = [chosen](QTreeWidgetItem* row) {
        chosen(row->text(window::kProblemKeyColumn).toStdString());
    };
    // Enter activates the current row.
    connect(list_, &QTreeWidget::itemClicked, this, choose);
    connect(list_, &QTreeWidget::itemActivated, this, choose);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Enter is the list's, not the Close button's.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* column = new QVBoxLayout(this);
    column->addWidget(list_);
    column->addWidget(buttons);
    resize(720, 300);
}

void ProblemList::fill(const std::vector<window::ProblemRow>& rows) {
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const window::ProblemRow& row : rows) {
        QStringList cells;
        for (const std::string& cell : row)
            cells << QString::fromStdString(cell);
        items << new QTreeWidgetItem(cells);
    }
    list_->addTopLevelItems(items);
    list_->header()->resizeSections(QHeaderView::ResizeToContents);
}

void WindowReports::inform(const std::string& text) {
    if (log_)
        log_->add(QString::fromStdString(oneLine(text)));
    if (bar_)
        bar_->showMessage(QString::fromStdString(oneLine(text)), kInformationShown);
}

void WindowReports::message(const std::string& text) {
    if (log_)
        log_->add(QString::fromStdString(oneLine(text)));
    dialogs_.message(text);
}

} // namespace quillfen
