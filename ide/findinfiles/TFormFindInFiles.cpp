#include "TFormFindInFiles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "FindInFilesRun.h"

TFormFindInFiles::TFormFindInFiles(QMainWindow* owner, std::optional<QRect> rect, int placement, MatchOpener opener)
    : TDockableForm(owner, true, rect, placement, QStringLiteral("Find In Files")),
      opener_(std::move(opener)),
      list_(new QListView(this)),
      progress_(new QWidget(this)),
      progressText_(new QLabel(QStringLiteral("Searching..."), progress_)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), progress_))
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    list_->setFont(font);
    list_->setModel(&model_);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Queued: the editor opened must keep the focus the list takes back on the
    // release of the double click.
    connect(list_, &QAbstractItemView::doubleClicked, this, &TFormFindInFiles::ListBoxDblClick, Qt::QueuedConnection);

    auto* progressRow = new QHBoxLayout(progress_);
    progressRow->setContentsMargins(2, 2, 2, 2);
    progressRow->addWidget(progressText_);
    progressRow->addStretch();
    progressRow->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, &TFormFindInFiles::CancelSearch);
    progress_->hide();

    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(progress_);
    layout->addWidget(list_);
    SetContent(content);
    Place(placement, rect);
}

TFormFindInFiles::~TFormFindInFiles() = default;

void TFormFindInFiles::ClearResults()
{
    run_.reset();
    progress_->hide();
    model_.clear();
}

void TFormFindInFiles::StartSearch(findinfiles::SearchRequest request)
{
    ClearResults();
    run_ = std::make_unique<FindInFilesRun>(std::move(request));
    connect(run_.get(), &FindInFilesRun::linesFound, &model_, &FindResultsModel::append);
    connect(run_.get(), &FindInFilesRun::finished, this, &TFormFindInFiles::searchEnded);
    cancel_->setEnabled(true);
    progress_->show();
}

void TFormFindInFiles::CancelSearch()
{
    if (run_ && run_->isRunning()) {
        run_->cancel();
        cancel_->setEnabled(false);
    }
}

bool TFormFindInFiles::Searching() const
{
    return run_ && run_->isRunning();
}

void TFormFindInFiles::searchEnded(bool cancelled)
{
    progress_->hide();
    // A list cut short must not pass for the whole answer.
    if (cancelled)
        model_.append({{std::nullopt, {}, QStringLiteral("Search cancelled.")}});
    emit searchFinished();
}

QStringList TFormFindInFiles::Lines() const
{
    QStringList lines;
    for (int row = 0; row < model_.rowCount(); ++row)
        lines << model_.lineAt(row).text();
    return lines;
}

void TFormFindInFiles::ListBoxDblClick()
{
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid() || !opener_)
        return;
    if (const std::optional<TFindObject>& hit = model_.lineAt(current.row()).find)
        opener_(*hit);
}
