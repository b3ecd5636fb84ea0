#pragma once

#include "gui/MessageDialog.h"

// "About": the program's picture, its title with the build number, a button to its web
// site and Done.
class frmAbout : public PlacedDialog {
    Q_OBJECT
public:
    frmAbout(const QIcon& picture, const QString& title, QWidget* parent = nullptr);
};
