#include "entry/frmNewEntry.h"

#include "store/DataFile.h"
#include "ui/SaveClient.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace kvx {
namespace {

const QColor kNavy{0, 0, 128};
const QColor kGreen{0, 255, 0};
// Rows a grid shows at once; the scrolling rule keeps the current row among them.
constexpr int kVisibleRows = 17;

void paintCell(QTableWidgetItem* cell, const QString& text, const QColor& back, const QColor& fore)
{
    // Unchanged values are not set again: each change repaints the cell.
    if (cell->text() != text)
        cell->setText(text);
    if (cell->background().color() != back)
        cell->setBackground(back);
    if (cell->foreground().color() != fore)
        cell->setForeground(fore);
}

// The highlighted row shows where the operator is; the style's focus frame on one cell would
// be a second, differing mark.
class NoFocusFrame : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
    }
};

} // namespace

const QColor frmNewEntry::kDoubtBack{255, 165, 0};

ResponseGrid::ResponseGrid(int index, int answerType, std::vector<int> items, QWidget* parent)
    : QTableWidget(static_cast<int>(items.size()), ChoiceCount(answerType) + 1, parent),
      index_(index), answerType_(answerType), items_(std::move(items))
{
    setObjectName(QStringLiteral("grdResponses_%1").arg(index));
    setAccessibleName(QStringLiteral("Section %1").arg(index + 1));
    setProperty("answerType", QString::number(answerType)); // the grid's tag
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setTabKeyNavigation(false);
    setAutoScroll(false); // the screen scrolls by its own rule
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    verticalHeader()->hide();
    setItemDelegate(new NoFocusFrame(this));

    QStringList headers{QStringLiteral("Num")};
    for (int c = 1; c < columnCount(); ++c)
        headers << QString::number(c);
    setHorizontalHeaderLabels(headers);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);

    const QFontMetrics fm(font());
    const int rowHeight = fm.height() + 6;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("0000.")) + 10);
    int width = columnWidth(0);
    for (int c = 1; c < columnCount(); ++c) {
        setColumnWidth(c, fm.horizontalAdvance(QStringLiteral("XX")) + 12);
        width += columnWidth(c);
    }
    if (rowCount() > kVisibleRows)
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFixedWidth(width + 2 * frameWidth());
    setFixedHeight(horizontalHeader()->sizeHint().height() + kVisibleRows * rowHeight +
                   2 * frameWidth());

    for (int row = 0; row < rowCount(); ++row) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* cell = new QTableWidgetItem;
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setTextAlignment(c == 0 ? Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter)
                                          : Qt::Alignment(Qt::AlignCenter));
            setItem(row, c, cell);
        }
        item(row, 0)->setText(QString::number(itemAt(row)) + u'.');
    }
}

frmNewEntry::frmNewEntry(Session& session, Prompter& prompter, const std::vector<GridPlan>& plan,
                         const QList<int>& doubtfulItems, QWidget* parent)
    : KvxScreen(session, prompter, parent), answers_(session.current().raw(Field::Answers)),
      doubts_(doubtfulItems)
{
    setObjectName(QStringLiteral("frmNewEntry"));
    setWindowTitle(QStringLiteral("Offender Responses"));
    session.ScreenAccepted = false;

    lblClientName = new QLabel(session.current().text(Field::Name), this);
    lblClientName->setObjectName(QStringLiteral("lblClientName"));
    lblClientName->setAccessibleName(QStringLiteral("Client name"));
    lblClientName->setTextFormat(Qt::PlainText);
    lblClientName->setAlignment(Qt::AlignCenter);
    QFont bold = lblClientName->font();
    bold.setBold(true);
    lblClientName->setFont(bold);

    lblDoubtful = new QLabel(this);
    lblDoubtful->setObjectName(QStringLiteral("lblDoubtful"));
    lblDoubtful->setAccessibleName(QStringLiteral("Answers that need checking"));
    lblDoubtful->setAlignment(Qt::AlignCenter);
    lblDoubtful->setStyleSheet(
        QStringLiteral("QLabel { background: %1; color: black; padding: 2px; }")
            .arg(kDoubtBack.name()));

    frEntry = new QFrame(this);
    frEntry->setObjectName(QStringLiteral("frEntry"));
    frEntry->setAccessibleName(QStringLiteral("Answer grids"));

    MenuChoices* menu = addMenuChoices(Qt::Horizontal);
    menu->add(QStringLiteral("Save"), QStringLiteral("Save data input and return to Main Menu"));
    menu->add(QStringLiteral("Cancel"),
              QStringLiteral("Cancel data input and return to Main Menu"));
    connect(menu, &MenuChoices::chosen, this, [this](int index) {
        if (index == 0)
            Save();
        else
            reject();
    });

    buildGrids(plan);
    showDoubts();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblClientName);
    layout->addWidget(lblDoubtful);
    layout->addWidget(frEntry);
    layout->addWidget(menu);
    layout->addWidget(MsgPanel);
}

void frmNewEntry::buildGrids(const std::vector<GridPlan>& plan)
{
    menuChoices()->button(0)->setEnabled(false);
    auto* row = new QHBoxLayout(frEntry);
    row->setSpacing(16);
    row->addStretch(1);
    QWidget* previous = nullptr;
    for (const GridPlan& p : plan) {
        const int index = static_cast<int>(grdResponses.size());
        auto* g = new ResponseGrid(index, p.answerType, p.items, frEntry);
        auto* label = new QLabel(QStringLiteral("Section %1").arg(index + 1), frEntry);
        label->setObjectName(QStringLiteral("lblSection_%1").arg(index));
        label->setAccessibleName(label->text());
        label->setBuddy(g);
        g->installEventFilter(this);
        connect(g, &QTableWidget::currentCellChanged, this, [this, g](int current) {
            // Clicks and paging move the grid by itself; the arrows and keys are ours.
            if (!loading_ && !moving_ && current >= 0 && g->index() == currentGrid_)
                HighlightRow(g);
        });
        auto* column = new QVBoxLayout;
        column->addWidget(label);
        column->addWidget(g);
        column->addStretch(1);
        row->addLayout(column);
        if (previous)
            setTabOrder(previous, g);
        previous = g;
        grdResponses.push_back(g);
        lblSection.push_back(label);
    }
    row->addStretch(1);
    if (previous) {
        setTabOrder(previous, menuChoices()->button(0));
        setTabOrder(menuChoices()->button(0), menuChoices()->button(1));
    }
    ShowAnswers();
    menuChoices()->button(0)->setEnabled(true);
}

void frmNewEntry::ShowAnswers()
{
    for (ResponseGrid* g : grdResponses) {
        for (int r = 0; r <= g->lastRow(); ++r)
            RestoreRow(g, r);
        const QSignalBlocker block(g);
        g->setCurrentCell(0, 0);
        g->rememberedRow = 0;
    }
}

void frmNewEntry::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    if (activated_)
        return;
    activated_ = true;
    loading_ = false;
    if (grdResponses.empty()) {
        menuChoices()->button(1)->setFocus(Qt::OtherFocusReason);
        return;
    }
    grid(0)->setFocus(Qt::OtherFocusReason);
    enterGrid(grid(0));
}

bool frmNewEntry::eventFilter(QObject* watched, QEvent* event)
{
    auto* g = qobject_cast<ResponseGrid*>(watched);
    if (!g || g->parent() != frEntry)
        return KvxScreen::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (gridKey(g, static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::FocusIn:
        enterGrid(g);
        break;
    case QEvent::FocusOut:
        // Leaving for a message box keeps the highlight; it is the same row on return.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
            g->currentRow() >= 0) {
            g->rememberedRow = g->currentRow();
            RestoreRow(g, g->currentRow());
        }
        break;
    default:
        break;
    }
    return KvxScreen::eventFilter(watched, event);
}

bool frmNewEntry::gridKey(ResponseGrid* g, QKeyEvent* k)
{
    switch (k->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return false;
    case Qt::Key_Down:
        MoveToNextRow(g);
        return true;
    case Qt::Key_Up:
        MoveUp(g);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        break;
    }
    const QString text = k->text();
    if (text.isEmpty() || (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QChar c = text.front();
    if (KeyAllowed(g->answerType(), c))
        StoreKey(g, static_cast<char>(c.unicode()));
    else
        prompter().Beep();
    return true;
}

void frmNewEntry::StoreKey(ResponseGrid* g, char key)
{
    const int row = g->currentRow();
    if (row < 0)
        return;
    const int item = g->itemAt(row);
    answers_.set(item, key);
    if (doubts_.clear(item))
        showDoubts();
    MoveToNextRow(g);
}

// After a stored key and on the Down arrow alike: the next row, the next grid, or a beep at
// the very end.
void frmNewEntry::MoveToNextRow(ResponseGrid* g)
{
    if (moving_)
        return;
    moving_ = true;
    const int row = g->currentRow();
    const int column = std::max(g->currentColumn(), 0);
    if (row == g->lastRow() && g->index() < gridCount() - 1) {
        RestoreRow(g, row);
        g->rememberedRow = row;
        ResponseGrid* next = grid(g->index() + 1);
        next->setCurrentCell(0, 0);
        currentGrid_ = next->index();
        next->setFocus(Qt::OtherFocusReason);
        HighlightRow(next);
    } else if (row == g->lastRow()) {
        HighlightRow(g);
        prompter().Beep();
    } else {
        g->setCurrentCell(row + 1, column);
        HighlightRow(g);
    }
    moving_ = false;
}

void frmNewEntry::MoveUp(ResponseGrid* g)
{
    const int row = g->currentRow();
    if (row > 0) {
        moving_ = true;
        g->setCurrentCell(row - 1, std::max(g->currentColumn(), 0));
        moving_ = false;
        HighlightRow(g);
        return;
    }
    if (g->index() == 0) {
        prompter().Beep();
        return;
    }
    ResponseGrid* previous = grid(g->index() - 1);
    moving_ = true;
    previous->setCurrentCell(previous->lastRow(), 0);
    moving_ = false;
    currentGrid_ = previous->index();
    previous->setFocus(Qt::OtherFocusReason);
    HighlightRow(previous);
}

void frmNewEntry::enterGrid(ResponseGrid* g)
{
    // Whichever way the focus came (Tab, a click, a move), this grid takes the keys.
    currentGrid_ = g->index();
    showHelp(EntryHelpText(g->answerType()));
    if (!loading_)
        HighlightRow(g);
}

void frmNewEntry::HighlightRow(ResponseGrid* g)
{
    const int row = g->currentRow();
    if (row < 0)
        return;
    if (g->rememberedRow != row)
        RestoreRow(g, g->rememberedRow);
    const int mark = answers_.markColumn(g->itemAt(row), g->choices());
    for (int c = 1; c <= g->choices(); ++c)
        paintCell(g->item(row, c), c == mark ? QStringLiteral("X") : QString(), kHighlightCyan,
                  kBlack);
    paintNumber(g, row);
    g->rememberedRow = row;
    ScrollIntoView(g, row);
}

void frmNewEntry::RestoreRow(ResponseGrid* g, int row)
{
    if (row < 0 || row > g->lastRow())
        return;
    const int mark = answers_.markColumn(g->itemAt(row), g->choices());
    for (int c = 1; c <= g->choices(); ++c) {
        if (c == mark)
            paintCell(g->item(row, c), QStringLiteral("X"), kGreen, kBlack);
        else
            paintCell(g->item(row, c), QString(), kWhite, kNavy);
    }
    paintNumber(g, row);
}

void frmNewEntry::paintNumber(ResponseGrid* g, int row)
{
    const bool doubt = doubts_.contains(g->itemAt(row));
    paintCell(g->item(row, 0), QString::number(g->itemAt(row)) + u'.', doubt ? kDoubtBack : kWhite,
              doubt ? kBlack : kNavy);
}

void frmNewEntry::ScrollIntoView(ResponseGrid* g, int row)
{
    const int top = g->rowViewportPosition(row);
    if (top >= 0 && top + g->rowHeight(row) <= g->viewport()->height())
        return;
    QScrollBar* bar = g->verticalScrollBar();
    if (row + kVisibleRows - 1 > g->rowCount())
        bar->setValue(bar->maximum());
    else
        bar->setValue(row == 0 ? 0 : row - 1);
}

void frmNewEntry::showDoubts()
{
    lblDoubtful->setText(doubts_.summary());
    lblDoubtful->setVisible(doubts_.count() > 0);
}

void frmNewEntry::Save()
{
    Session& s = session();
    const ClientRecord before = s.current();
    s.current().setRaw(Field::Answers, answers_.answers());
    if (!SaveCurrentClient(s, prompter())) {
        // Back to the grid with every key kept; the table entry matches the disk again.
        s.current() = before;
        return;
    }
    s.ScreenAccepted = true;
    s.RefreshNames = true;
    accept();
}

void frmNewEntry::reject()
{
    Session& s = session();
    if (!s.EditMode)
        DropNewClient(s);
    s.ScreenAccepted = false;
    KvxScreen::reject();
}

} // namespace kvx
