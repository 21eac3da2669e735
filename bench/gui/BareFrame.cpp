// The yardstick of the desktop start-up benchmark: a bare wxWidgets program that opens an
// empty frame and closes it as soon as it is shown.
#include <cstdio>

#include <wx/app.h>
#include <wx/frame.h>

class BareApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bare", wxDefaultPosition, wxSize(900, 560));
        frame->Show();
        CallAfter([frame] {
            frame->Update();
            std::puts("shown");
            std::fflush(stdout);
            frame->Close(true);
        });
        return true;
    }
};

wxIMPLEMENT_APP(BareApp);
