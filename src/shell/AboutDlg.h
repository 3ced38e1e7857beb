#pragma once
// CAboutDlg: "About Graphelle" with the program icon, the version line and OK.

#include <QDialog>

class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
