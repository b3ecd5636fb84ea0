#include "gui/OptionsPage.h"

#include "gui/Named.h"
#include "gui/PathLabel.h"
#include "songlist/SongListModel.h"
#include "transfer/OutputPath.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

OptionsPage::OptionsPage(const LanguageTable& language, const SongListModel& songs)
    : language_(language), songs_(songs) {
    setObjectName(QStringLiteral("picTab2"));
    QGroupBox* folders = buildFolderFrame();
    QGroupBox* playlist = buildPlaylistFrame();
    QGroupBox* unattended = buildUnattendedFrame();
    auto* column = new QVBoxLayout(this);
    column->addWidget(folders);
    column->addWidget(playlist);
    column->addWidget(unattended);
    column->addStretch(1);

    tmrTextFormat_ = Named(new QTimer(this), "tmrTextFormat");
    tmrTextFormat_->setInterval(500);
    unOpt1_->setChecked(true); // overwrite, until the stored rule is loaded
    connectControls();
    FramePlaylist_->setAccessibleName(text(Text::CreatePlaylist)); // and with each language
}

QGroupBox* OptionsPage::buildFolderFrame() {
    Frame1_ = Named(new QGroupBox(QStringLiteral("Folder/Track Options")), "Frame1");
    txtBrowsePath_ = Named(new QLineEdit, "txtBrowsePath");
    cmdBrowse_ = Named(new QPushButton(QStringLiteral("Browse")), "cmdBrowse");
    txtOutPutFormat_ = Named(new QLineEdit, "txtOutPutFormat");
    XPBDefault_ = Named(new QPushButton(QStringLiteral("Default")), "XPBDefault");
    QGridLayout* legend = buildLegend();
    lblOutputPreView_ = NamedLabel("lblOutputPreView", QString());
    lblOutputPreView_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDestination_ = Named(new PathLabel, "lblDestination");

    Label4_ = NamedLabel("Label4", QStringLiteral("Output Directory"));
    Label7_ = NamedLabel("Label7", QStringLiteral("File Output Format"));
    // Headings name their boxes (for screen readers too).
    Label4_->setBuddy(txtBrowsePath_);
    Label7_->setBuddy(txtOutPutFormat_);
    auto* grid = new QGridLayout(Frame1_);
    grid->addWidget(Label4_, 0, 0, 1, 2);
    grid->addWidget(txtBrowsePath_, 1, 0);
    grid->addWidget(cmdBrowse_, 1, 1);
    grid->addWidget(Label7_, 2, 0, 1, 2);
    grid->addWidget(txtOutPutFormat_, 3, 0);
    grid->addWidget(XPBDefault_, 3, 1);
    grid->addLayout(legend, 4, 0, 1, 2);
    grid->addWidget(lblOutputPreView_, 5, 0, 1, 2);
    grid->addWidget(lblDestination_, 6, 0, 1, 2);
    return Frame1_;
}

QGridLayout* OptionsPage::buildLegend() {
    // Three rows of token and name; the names until a language is applied.
    const std::array<const char*, FormatTokens.size()> names = {
        "Artist", "Album", "Title", "Genre", "Track Nr", "Year", "Album Artist", "Disc Nr"};
    auto* legend = new QGridLayout;
    for (int i = 0; i < int(FormatTokens.size()); ++i) {
        const QByteArray tokenName = "lblOPformat" + QByteArray::number(i);
        const QByteArray nameName = "txtFormat" + QByteArray::number(i);
        legend->addWidget(
            NamedLabel(tokenName.constData(), QLatin1String(FormatTokens[size_t(i)].Token)), i % 3,
            (i / 3) * 2);
        txtFormat_[size_t(i)] = NamedLabel(nameName.constData(),
                                           QStringLiteral("- ") + QLatin1String(names[size_t(i)]));
        legend->addWidget(txtFormat_[size_t(i)], i % 3, (i / 3) * 2 + 1);
    }
    legend->setColumnStretch(int(FormatTokens.size() + 2) / 3 * 2, 1);
    return legend;
}

QGroupBox* OptionsPage::buildPlaylistFrame() {
    FramePlaylist_ = Named(new QGroupBox, "FramePlaylist");
    chkExportPlaylists_ =
        Named(new QCheckBox(QStringLiteral("Create Playlist of Selected Songs .m3u format.")),
              "chkExportPlaylists");
    (new QVBoxLayout(FramePlaylist_))->addWidget(chkExportPlaylists_);
    return FramePlaylist_;
}

QGroupBox* OptionsPage::buildUnattendedFrame() {
    Xpgroupbox1_ =
        Named(new QGroupBox(QStringLiteral("Unattended Transfer Options")), "Xpgroupbox1");
    optUnattended_ = Named(new QCheckBox(QStringLiteral("Unattended Transfer")), "optUnattended");
    unOpt1_ =
        Named(new QRadioButton(QStringLiteral("If a file exists then overwrite it and continue.")),
              "unOpt1");
    unOpt2_ = Named(new QRadioButton(
                        QStringLiteral("If a file exists then skip it and move to the next song.")),
                    "unOpt2");
    lblLabel1_ = NamedLabel(
        "lblLabel1", QStringLiteral("This option allows you transfer your songs without being "
                                    "prompted if an error is encountered such as if a song "
                                    "already exists on the destination drive."));
    lblLabel1_->setWordWrap(true);
    auto* layout = new QVBoxLayout(Xpgroupbox1_);
    layout->addWidget(optUnattended_);
    layout->addWidget(unOpt1_);
    layout->addWidget(unOpt2_);
    layout->addWidget(lblLabel1_);
    return Xpgroupbox1_;
}

void OptionsPage::connectControls() {
    connect(txtOutPutFormat_, &QLineEdit::textChanged, this, &OptionsPage::updatePreview);
    // The destination follows the folder, the ticks and the list.
    connect(txtBrowsePath_, &QLineEdit::textChanged, this, &OptionsPage::updateDestination);
    connect(&songs_, &SongListModel::TicksChanged, this, &OptionsPage::updateDestination);
    connect(&songs_, &QAbstractItemModel::modelReset, this, &OptionsPage::updateDestination);
    connect(&songs_, &QAbstractItemModel::layoutChanged, this, &OptionsPage::updateDestination);
    txtOutPutFormat_->installEventFilter(this); // leaving the box starts the title check
    connect(tmrTextFormat_, &QTimer::timeout, this, &OptionsPage::checkTitleToken);
    connect(XPBDefault_, &QPushButton::clicked, this,
            [this] { txtOutPutFormat_->setText(DefaultOutputFormat); });
    connect(cmdBrowse_, &QPushButton::clicked, this, &OptionsPage::Browse);
    connect(optUnattended_, &QCheckBox::toggled, this, [this](bool on) {
        unOpt1_->setEnabled(on);
        unOpt2_->setEnabled(on);
    });
    unOpt1_->setEnabled(optUnattended_->isChecked());
    unOpt2_->setEnabled(optUnattended_->isChecked());
}

void OptionsPage::SetFocusOrder() {
    // Tab goes down the page.
    QWidget* const order[] = {txtBrowsePath_,      cmdBrowse_,     txtOutPutFormat_, XPBDefault_,
                              chkExportPlaylists_, optUnattended_, unOpt1_,          unOpt2_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void OptionsPage::SetDefaultButtonWidth(int pixels) {
    XPBDefault_->setFixedWidth(pixels);
}

void OptionsPage::ApplyLanguage() {
    XPBDefault_->setText(text(Text::Default));
    updatePreview();
    Frame1_->setTitle(text(Text::FolderTrackOptions));
    Label4_->setText(text(Text::OutputDirectory));
    cmdBrowse_->setText(text(Text::Browse));
    Label7_->setText(text(Text::FileOutputFormat));
    chkExportPlaylists_->setText(text(Text::CreatePlaylist));
    Xpgroupbox1_->setTitle(text(Text::UnattendedOptions));
    optUnattended_->setText(text(Text::UnattendedTransfer));
    unOpt1_->setText(text(Text::OverwriteRule));
    unOpt2_->setText(text(Text::SkipRule));
    lblLabel1_->setText(text(Text::UnattendedExplained));
    for (size_t i = 0; i < FormatTokens.size(); ++i)
        txtFormat_[i]->setText(QStringLiteral("- ") + text(FormatTokens[i].LegendEntry));
    // A frame without a caption is named by its one box's text.
    FramePlaylist_->setAccessibleName(text(Text::CreatePlaylist));
}

ExistingFile OptionsPage::chosenRule() const {
    return unOpt1_->isChecked()   ? ExistingFile::Overwrite
           : unOpt2_->isChecked() ? ExistingFile::Skip
                                  : ExistingFile::Ask;
}

void OptionsPage::PutInto(WindowSettings& s) const {
    s.OutputFolder = txtBrowsePath_->text();
    s.OutputFormat = txtOutPutFormat_->text();
    s.Unattended = optUnattended_->isChecked();
    s.Rule = chosenRule();
}

void OptionsPage::Show(const WindowSettings& s) {
    txtBrowsePath_->setText(s.OutputFolder);
    txtOutPutFormat_->setText(s.OutputFormat);
    optUnattended_->setChecked(s.Unattended);
    if (s.Rule == ExistingFile::Overwrite)
        unOpt1_->setChecked(true);
    else if (s.Rule == ExistingFile::Skip)
        unOpt2_->setChecked(true);
}

QString OptionsPage::Folder() const {
    return txtBrowsePath_->text();
}

void OptionsPage::ClearFolder() {
    txtBrowsePath_->clear();
}

QString OptionsPage::Format() const {
    return txtOutPutFormat_->text();
}

void OptionsPage::SetFormat(const QString& format) {
    txtOutPutFormat_->setText(format);
}

bool OptionsPage::ExportPlaylist() const {
    return chkExportPlaylists_->isChecked();
}

void OptionsPage::updatePreview() {
    lblOutputPreView_->setText(text(Text::PreviewExample) +
                               FormatLegend(txtOutPutFormat_->text(), language_));
    updateDestination();
}

void OptionsPage::updateDestination() {
    const auto destination =
        SampleDestination(txtBrowsePath_->text(), txtOutPutFormat_->text(), songs_.Rows());
    lblDestination_->SetFullText(destination ? text(Text::Destination).arg(destination->Native())
                                             : QString());
}

void OptionsPage::checkTitleToken() {
    if (NamesTheTitle(txtOutPutFormat_->text()))
        return;
    // Off before the message, and kept off while the message has the focus (the box's
    // focus-out would start it again), so that it is shown once.
    tmrTextFormat_->stop();
    titleMessageShown_ = true;
    ShowMessageBox(window(), QMessageBox::Information, text(Text::MissingSongTitle),
                   text(Text::TitleTokenNeeded));
    titleMessageShown_ = false;
    emit TitleCheckAnswered();
    txtOutPutFormat_->setFocus();
}

void OptionsPage::Browse() {
    // At the folder in the box, or where it would be made (its nearest existing parent).
    const QString chosen = folderPicker_
                               ? folderPicker_(window(), text(Text::SelectFolder),
                                               NearestExistingFolder(txtBrowsePath_->text()))
                               : QString();
    if (!chosen.isEmpty())
        txtBrowsePath_->setText(QDir::toNativeSeparators(chosen));
    emit Browsed();
}

bool OptionsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtOutPutFormat_ && event->type() == QEvent::FocusOut && !titleMessageShown_)
        tmrTextFormat_->start();
    return QWidget::eventFilter(watched, event);
}
