// Base of the panels the plugin supplies itself. A panel's handle towards the host is the
// object's address; the panel exports find the object in the registry of live panels.
#pragma once

#include "framework/FarModule.h"

namespace wm {

class TFarPanelManaged : public TFarCommonModule {
public:
    TFarPanelManaged();
    virtual ~TFarPanelManaged();
    TFarPanelManaged(const TFarPanelManaged&) = delete;
    TFarPanelManaged& operator=(const TFarPanelManaged&) = delete;

    far::HANDLE Handle() { return this; }

    // The host's question about the panel: the title and CurDir of GetPanelTitle and
    // GetCurrentDir, then whatever GetOpenPluginInfo adds. The texts stay valid until the next
    // answer.
    void AnswerOpenPluginInfo(far::OpenPluginInfo& info);

    virtual void GetOpenPluginInfo(far::OpenPluginInfo& info);
    virtual String GetPanelTitle();
    virtual String GetCurrentDir() = 0;
    virtual bool GetFindData(int opMode, far::PluginPanelItem*& items, int& count) = 0;
    virtual void FreeFindData(far::PluginPanelItem* items, int count) = 0;
    virtual bool MakeDirectory(String& name) = 0;
    virtual bool SetDirectory(StringView directory, int opMode) = 0;
    virtual bool BeginDeleteFiles(int count, int opMode);
    virtual bool DeleteFile(far::PluginPanelItem& item, int opMode) = 0;
    virtual bool BeginGetFiles(int count, int opMode);
    virtual bool GetFile(far::PluginPanelItem& item, int opMode, StringView destPath,
                         bool move) = 0;
    virtual bool BeginPutFiles(int count, int opMode);
    // 0 failed, 1 done, 2 done and the item stays selected.
    virtual int PutFile(far::PluginPanelItem& item, int opMode, StringView srcPath, bool move) = 0;
    virtual int ProcessEvent(int event, void* param);
    virtual bool ProcessKey(int key, unsigned controlState);

    // Asks the host to read the panel again, keeping its marks, and to draw it.
    void Update();
    // Update for every live panel, for a change made elsewhere (the host does not read a panel
    // on the other side by itself).
    static void UpdateLivePanels();

    // The live panel whose handle this is; false for null, INVALID_HANDLE_VALUE and unknown ones.
    static bool FindPanel(far::HANDLE handle, TFarPanelManaged*& panel);

private:
    static void UpdateByHandle(far::HANDLE handle);

    String AnsweredTitle;
    String AnsweredCurDir;
};

}  // namespace wm
