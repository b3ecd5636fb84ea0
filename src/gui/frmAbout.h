#pragma once

#include <QDialog>

// "About": the program's picture, its title with the build number, a button to its web
// site and Done.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const QIcon& picture, const QString& title, QWidget* parent = nullptr);
};
