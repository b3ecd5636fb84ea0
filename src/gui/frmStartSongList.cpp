// The main window's song list: building it from a playlist or a search, ticking rows,
// sorting, the context menu and Ctrl+A.

#include "gui/OptionsPage.h"
#include "gui/ProgressBarProgress.h"
#include "gui/ShellOpen.h"
#include "gui/frmStart.h"
#include "platform/PlayerPath.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace {

// Draws the tick boxes but leaves the clicks on them to the row: one click anywhere on a
// row, its box included, ticks it once.
class RowClickTicks final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                     const QModelIndex&) override {
        return false;
    }
};

// The rows alternate white and light blue, the first one white.
void StripeListRows(QTreeView* list, const QColor& first, const QColor& second) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, first);
    palette.setColor(QPalette::AlternateBase, second);
    list->setPalette(palette);
    list->setAlternatingRowColors(true);
}

bool isCtrlA(const QKeyEvent* key) {
    return key->key() == Qt::Key_A && key->modifiers() == Qt::ControlModifier;
}

} // namespace

void frmStart::connectSongList() {
    StripeListRows(LV_, Qt::white, QColor(220, 234, 245));
    LV_->setItemDelegate(new RowClickTicks(LV_));
    connect(LV_, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (songs_.rowCount() > 0 && state_.Database.LoadedTrackCount >= 1 && index.isValid()) {
            const int row = index.row();
            songs_.SetRowTicked(row, !songs_.Rows()[static_cast<size_t>(row)].Ticked);
        }
    });
    connect(LV_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mnuPopup_->popup(LV_->viewport()->mapToGlobal(pos)); });
    QHeaderView* header = LV_->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
        if (songs_.rowCount() == 0 || state_.Database.LoadedTrackCount < 1)
            return;
        songs_.HeaderClicked(column);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(songs_.SortColumn(), songs_.SortOrder());
    });
    connect(&songs_, &SongListModel::TicksChanged, this, &frmStart::UpdateSelectionTotals);
    connect(cmbPlaylists_, &QComboBox::activated, this, &frmStart::PlaylistChosen);
    connect(XPSearch_, &QLineEdit::textChanged, this, &frmStart::SearchChanged);
    LV_->installEventFilter(this);
    XPSearch_->installEventFilter(this);
    for (QLineEdit* box : picTab2_->TextBoxes())
        box->installEventFilter(this);
}

void frmStart::BuildSongList(int p) {
    // The tables are being written: the list stays empty until the user chooses again.
    if (loading_)
        return;
    // The build yields; a playlist or a search chosen meanwhile supersedes it, and it then
    // stops and leaves the list to the newer one.
    const quint64 build = ++listBuild_;
    // A build that gave way leaves no "Building List…" behind it: a newer build says its own
    // status, a search none, so the last load's comes back.
    const auto superseded = [this, build] {
        if (build == listBuild_)
            return false;
        if (panels_[0]->text() == text(Text::StatusBuilding))
            setPanel(1, text(loadStatus_));
        return true;
    };
    const auto busy = markBusy();
    songs_.SetRows({});
    setPanel(1, text(Text::StatusBuilding));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    QCoreApplication::processEvents();
    if (superseded())
        return;
    ProgressBarProgress progress(pBar_);
    std::vector<SongRow> rows = catalog_.PlaylistRows(state_.Database, p, &progress, superseded);
    if (superseded())
        return;
    songs_.SetRows(std::move(rows));
    setPanel(1, text(loadStatus_)); // what the last load found
}

void frmStart::PlaylistChosen(int p) {
    XPSearch_->clear(); // a search in progress gives way to the playlist
    BuildSongList(p);
}

void frmStart::SearchChanged(const QString& searchText) {
    setCopyEnabled(false);
    if (loading_)
        return;
    if (searchText.isEmpty()) {
        BuildSongList(0);
        return;
    }
    ++listBuild_; // the search's rows replace those of a build in progress
    songs_.SetRows(SearchRows(catalog_, search_, searchText));
}

void frmStart::UpdateSelectionTotals() {
    const SongListModel::Totals totals = songs_.SelectionTotals();
    if (totals.Count == 0) {
        setCopyEnabled(false);
        setPanel(3, text(Text::Selected) + QStringLiteral(" 0"));
        return;
    }
    setCopyEnabled(totals.CanCopy());
    setPanel(3, text(Text::Selected) + QString::number(totals.Count));
    setPanel(4, state_.FreeSpace.Text());
}

void frmStart::setCopyEnabled(bool enabled) {
    cmdCopy_->setEnabled(enabled);
    mnuStartCopy_->setEnabled(enabled);
}

void frmStart::TickHighlighted(bool ticked) {
    std::vector<int> rows;
    for (const QModelIndex& index : LV_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    songs_.SetRowsTicked(rows, ticked);
    UpdateSelectionTotals();
}

void frmStart::TickAll(bool ticked) {
    songs_.SetAllTicked(ticked);
    UpdateSelectionTotals();
}

void frmStart::PlayTrack() {
    const QModelIndex current = LV_->currentIndex();
    if (songs_.rowCount() == 0 || !current.isValid() ||
        !LV_->selectionModel()->isRowSelected(current.row(), {}))
        return;
    const BackslashPath location(
        songs_.Rows()[static_cast<size_t>(current.row())].Texts[Column::SourcePath]);
    // A location that climbs out of the player names some other file: never open it.
    if (LeavesPlayerRoot(location))
        return;
    const QString file = FindPlayerFile(state_.Database.PlayerDrive, location);
    if (!file.isEmpty())
        OpenWithShell(file);
}

void frmStart::keyReleaseEvent(QKeyEvent* event) {
    // Releases that no control takes end up here, wherever the focus was.
    if (isCtrlA(event) && !event->isAutoRepeat()) {
        TickAll(true);
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}

bool frmStart::eventFilter(QObject* watched, QEvent* event) {
    // The window sees a text box's keys too: Ctrl+A there ticks every row as well (the box
    // still selects its own text).
    const auto optionsBoxes = picTab2_->TextBoxes();
    const bool textBox = watched == XPSearch_ || std::find(optionsBoxes.begin(), optionsBoxes.end(),
                                                           watched) != optionsBoxes.end();
    if (event->type() == QEvent::KeyRelease && textBox) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isCtrlA(key) && !key->isAutoRepeat())
            TickAll(true);
        return false;
    }
    if (watched != LV_ || event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+A ticks every row rather than highlighting them; in the list it acts on the
    // press already, so that letting go of Ctrl first still counts.
    if (isCtrlA(key)) {
        if (!key->isAutoRepeat())
            TickAll(true);
        return true;
    }
    // The space bar ticks the current row, as a click does.
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
        const QModelIndex current = LV_->currentIndex();
        if (current.isValid() && state_.Database.LoadedTrackCount >= 1)
            songs_.SetRowTicked(current.row(),
                                !songs_.Rows()[static_cast<size_t>(current.row())].Ticked);
        return true;
    }
    return false;
}
