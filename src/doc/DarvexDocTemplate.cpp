#include "doc/DarvexDocTemplate.h"

#include "doc/DocText.h"

// The filter of the open and save dialogs and the default extension: "*.d88".
DarvexDocTemplate::DarvexDocTemplate(wxDocManager* manager, wxClassInfo* docClass,
                                     wxClassInfo* viewClass)
    : wxDocTemplate(manager, Tr("Darvex Files (*.d88)"), "*.d88", wxString(), "d88",
                    "Darvex.Document", "Darvex Document", docClass, viewClass) {}
