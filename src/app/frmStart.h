#pragma once

#include "app/ImageList.h"
#include "app/ProgramState.h"
#include "settings/Settings.h"
#include "songlist/SongListModel.h"

#include <QMainWindow>
#include <QString>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QTreeView;
class SettingsStore;

// The main window. It owns every control; each control carries its name as its
// objectName, so the code that gives the controls their behaviour, the tests and
// accessibility tools find them by that name.
class frmStart : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString WindowTitle = QStringLiteral("Melvo - Build: 1.0.33");

    // configPath is where the column widths are kept (see ConfigFilePath).
    frmStart(ProgramState& state, SettingsStore& store, QString configPath,
             QWidget* parent = nullptr);

    // Fills the language table and puts the check mark on that language's menu entry
    // alone; an unknown key changes neither.
    bool LoadLanguage(const QString& key);

    // The stored output folder, format, unattended choices and column widths into the
    // controls, and back.
    void LoadSettings();
    bool SaveSettings();
    WindowSettings ControlSettings() const;
    void ShowSettings(const WindowSettings& settings);

    // Puts the progress bar into the fifth status panel and shows it.
    void DockProgressBar();

    SongListModel& Songs() { return songs_; }
    const ImageList& Images() const { return images_; }
    double TwipsPerPixel() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* action(QMenu* menu, const char* name, const QString& text, int icon = 0);
    void buildMenus();
    void buildSongsPage(QWidget* page);
    void buildOptionsPage(QWidget* page);
    void buildStatusBar();
    void buildTimers();
    void setDesignColumnWidths();

    ProgramState& state_;
    SettingsStore& store_;
    QString configPath_;
    ImageList images_;
    SongListModel songs_;
    bool shownOnce_ = false;

    QMenu* mnuLanguage_ = nullptr;
    QAction* mnuEnglish_ = nullptr;
    QAction* mnuGerman_ = nullptr;
    QAction* mnuSpanish_ = nullptr;
    QTabWidget* Tab1_ = nullptr;
    QTreeView* LV_ = nullptr;
    QLineEdit* txtBrowsePath_ = nullptr;
    QLineEdit* txtOutPutFormat_ = nullptr;
    QCheckBox* optUnattended_ = nullptr;
    QRadioButton* unOpt1_ = nullptr;
    QRadioButton* unOpt2_ = nullptr;
    QProgressBar* pBar_ = nullptr;
    QTimer* tmrProgBarRedraw_ = nullptr;
};
