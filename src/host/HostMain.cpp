// ide-host: the IDE stand-in. `ide-host [FILE...]` opens the files in the editor;
// `ide-host --screenshot OUT.png [FILE...]` renders the window without a display, writes it
// to OUT.png and exits.
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "host/MessageBoxes.h"
#include "platform/SysUtils.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <QApplication>
#include <QPixmap>
#include <string>
#include <vector>

namespace {

/// In a screenshot run nobody can answer: messages go to standard error, questions decline.
class TStderrMessages : public kolva::TMessageService {
public:
    kolva::TModalResult MessageDlg(const std::string& Msg, kolva::TMsgDlgType,
                                   kolva::TMsgDlgButtons Buttons) override {
        std::cerr << "ide-host: " << Msg << '\n';
        return kolva::DecliningAnswer(Buttons);
    }
};

} // namespace

int main(int argc, char** argv) {
    std::string screenshot;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--screenshot" && i + 1 < argc)
            screenshot = argv[++i];
        else if (arg == "--help" || arg == "-h") {
            std::cout << "usage: ide-host [--screenshot OUT.png] [FILE...]\n";
            return 0;
        } else
            files.push_back(arg);
    }
    if (!screenshot.empty() && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Kolva IDE");
    if (screenshot.empty())
        kolva::SetMessageService(std::make_unique<kolva::TQtMessageService>());
    else
        kolva::SetMessageService(std::make_unique<TStderrMessages>());

    int status = 0;
    {
        kolva::THostIDE ide;
        ide.LoadExperts();
        if (files.empty() && screenshot.empty()) ide.RestoreDesktop();
        for (const std::string& file : files) {
            try {
                ide.OpenFile(file);
            } catch (const std::exception& E) {
                kolva::ShowError(E.what());
                status = 1;
            }
        }
        ide.Window().show();
        if (!screenshot.empty()) {
            QApplication::processEvents();
            if (!ide.Window().grab().save(QString::fromStdString(screenshot))) {
                std::cerr << "ide-host: cannot write " << screenshot << '\n';
                return 1;
            }
            return status;
        }
        status = QApplication::exec();
    }
    kolva::SetMessageService(nullptr);
    return status;
}
