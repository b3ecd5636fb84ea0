#pragma once

#include "gui/MessageDialog.h"
#include "settings/LanguageTable.h"
#include "settings/OutputFormat.h"
#include "settings/Settings.h"

#include <QWidget>
#include <array>

class PathLabel;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class SongListModel;

// The main window's second page, "picTab2": where the songs go and how their files are
// named (the output folder, the format with its legend, its preview and the first song's
// destination), the playlist file, and the unattended choices. Each control keeps its name
// as its objectName, for the tests and for screen readers.
class OptionsPage final : public QWidget {
    Q_OBJECT
public:
    // The texts come from language, the destination from the first ticked row of songs.
    OptionsPage(const LanguageTable& language, const SongListModel& songs);

    // The page's part of the stored choices: folder, format and the unattended ones.
    void PutInto(WindowSettings& settings) const;
    void Show(const WindowSettings& settings);

    QString Folder() const;
    void ClearFolder();
    QString Format() const;
    void SetFormat(const QString& format);
    bool ExportPlaylist() const;
    // The boxes the window also listens to (Ctrl+A there ticks every row).
    std::array<QLineEdit*, 2> TextBoxes() const { return {txtBrowsePath_, txtOutPutFormat_}; }

    // Browse asks through it; without one, Browse keeps the folder.
    void SetFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    // The loaded language's texts; the Default button as wide as the language needs.
    void ApplyLanguage();
    void SetDefaultButtonWidth(int pixels);
    // Tab down the page in reading order: once the page is in its window.
    void SetFocusOrder();
    // The folder picker opened at the folder in the box; the folder chosen into the box.
    void Browse();

signals:
    // Browse is done, whether a folder was chosen or not.
    void Browsed();
    // The title check's message was answered: the page wants to be in sight.
    void TitleCheckAnswered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updatePreview();
    // Under the preview: where the first ticked song (or the first song) will be written.
    void updateDestination();
    // Leaving the format box without the title token brings a message, once.
    void checkTitleToken();
    QGroupBox* buildFolderFrame();
    QGridLayout* buildLegend();
    QGroupBox* buildPlaylistFrame();
    QGroupBox* buildUnattendedFrame();
    void connectControls();
    ExistingFile chosenRule() const;
    QString text(Text entry) const { return language_.Entry(entry); }

    const LanguageTable& language_;
    const SongListModel& songs_;
    FolderPicker folderPicker_;
    bool titleMessageShown_ = false; // the title check's message has the focus

    QGroupBox* Frame1_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLineEdit* txtBrowsePath_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QLabel* Label7_ = nullptr;
    QLineEdit* txtOutPutFormat_ = nullptr;
    QPushButton* XPBDefault_ = nullptr;
    std::array<QLabel*, FormatTokens.size()> txtFormat_{}; // the legend's names
    QLabel* lblOutputPreView_ = nullptr;
    PathLabel* lblDestination_ = nullptr;
    QGroupBox* FramePlaylist_ = nullptr;
    QCheckBox* chkExportPlaylists_ = nullptr;
    QGroupBox* Xpgroupbox1_ = nullptr;
    QCheckBox* optUnattended_ = nullptr;
    QRadioButton* unOpt1_ = nullptr;
    QRadioButton* unOpt2_ = nullptr;
    QLabel* lblLabel1_ = nullptr;
    QTimer* tmrTextFormat_ = nullptr;
};
