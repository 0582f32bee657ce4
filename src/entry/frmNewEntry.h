#pragma once

#include "entry/AnswerGridRules.h"
#include "ui/ScreenConventions.h"

#include <QTableWidget>

#include <vector>

namespace kvx {

// One grid of the answer screen: the items of one answer format, one row each.
class ResponseGrid : public QTableWidget
{
    Q_OBJECT
public:
    ResponseGrid(int index, int answerType, std::vector<int> items, QWidget* parent);

    int index() const { return index_; }
    int answerType() const { return answerType_; }
    int choices() const { return ChoiceCount(answerType_); }
    int itemAt(int row) const { return items_[static_cast<size_t>(row)]; }
    int lastRow() const { return rowCount() - 1; }

    // The row highlighted last, to be restored when another row takes the highlight. The grid
    // keeps its own current cell (row and column) while another grid has the focus.
    int rememberedRow = 0;

private:
    int index_;
    int answerType_;
    std::vector<int> items_;
};

// "Offender Responses": the current client's 155 answers keyed from a paper answer sheet, one
// key per item, into one grid per answer format. The caller sets Session::EditMode,
// ScanEditMode and CurClient; the outcome is in ScreenAccepted. Items in doubtfulItems are
// marked until the operator keys them.
class frmNewEntry : public KvxScreen
{
    Q_OBJECT
public:
    frmNewEntry(Session& session, Prompter& prompter, const std::vector<GridPlan>& plan,
                const QList<int>& doubtfulItems = {}, QWidget* parent = nullptr);

    // The screen's Cancel; the window's close button comes here too.
    void reject() override;

    const AnswerTable& answerTable() const { return answers_; }
    const DoubtfulItems& doubtfulItems() const { return doubts_; }
    ResponseGrid* grid(int index) const { return grdResponses[static_cast<size_t>(index)]; }
    int gridCount() const { return static_cast<int>(grdResponses.size()); }
    // The grid the keys go to and whose row is highlighted.
    int currentGrid() const { return currentGrid_; }

    QLabel* lblClientName;
    QLabel* lblDoubtful;
    QFrame* frEntry;
    std::vector<ResponseGrid*> grdResponses;
    std::vector<QLabel*> lblSection;

    // The colours a number cell takes while its item is in doubt.
    static const QColor kDoubtBack;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrids(const std::vector<GridPlan>& plan);
    void ShowAnswers();
    bool gridKey(ResponseGrid* g, QKeyEvent* k);
    void StoreKey(ResponseGrid* g, char key);
    void MoveToNextRow(ResponseGrid* g);
    void MoveUp(ResponseGrid* g);
    void enterGrid(ResponseGrid* g);
    void HighlightRow(ResponseGrid* g);
    void RestoreRow(ResponseGrid* g, int row);
    void paintNumber(ResponseGrid* g, int row);
    void ScrollIntoView(ResponseGrid* g, int row);
    void showDoubts();
    void Save();

    AnswerTable answers_;
    DoubtfulItems doubts_;
    int currentGrid_ = 0;
    bool loading_ = true;
    bool moving_ = false;
    bool activated_ = false;
};

} // namespace kvx
