#pragma once

// What lasts for the whole run across New and Open: the documents come and go (one at a time),
// this stays with the document manager.
struct SessionState {
    bool firstNew = true;    // until the first New of the run has happened (m_bFirstNew)
    int pendingNewType = -1; // disk type chosen for the New under way; -1: no dialog was shown
    int extractFormat = 0;   // m_nExtractFormat
    // Whether an extract dialog has shown extractFormat yet: files dragged out or copied take
    // that format from then on, MZT before.
    bool extractFormatShown = false;
    int bootMachine = 1; // m_nBootMachine
};
