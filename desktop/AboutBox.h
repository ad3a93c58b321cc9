// The about box: the program's name, version and description.
#pragma once

#include <string>

#include <QDialog>

class QLabel;

namespace mivo {

// The version text: major and minor as "%d.%.2d" (3 and 3 give "3.03").
std::string VersionText(int major, int minor);

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    int MajorVersion = 3;
    int MinorVersion = 3;

    QLabel* ProductName;
    QLabel* Version;
    QLabel* Description;
};

}  // namespace mivo
