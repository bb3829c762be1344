// The application object: from process start to process end along exactly one road.
#pragma once

#include "base/Handles.h"
#include "framework/PicturePreload.h"
#include "framework/WinApp.h"

class CLangSetupApp : public CWinApp {
public:
    CLangSetupApp();
    ~CLangSetupApp() override = default;

    // Start-up, then the road that the command line chooses (app/SetupRoads.h).
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    fw::UniqueHandle m_hMutex;
    // The interface-language library whose string table the wizard's texts come from; empty if none.
    fw::UniqueModule m_hLangLib;
    // The wizard's pictures, made from the start on while the display starts up.
    CPicturePreload m_pictures;
};
