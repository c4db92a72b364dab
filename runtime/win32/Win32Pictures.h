// Pictures on Windows: OleLoadPicture decodes them into an IPicture (PNG, which Windows' loader
// refuses, through the imaging component), and the shell's system image list gives the icons
// of file types.
#pragma once
#include "runtime/Picture.h"

namespace qb {

// A function of comctl32, looked up by name (the program does not link comctl32); null when
// the system's comctl32 lacks it.
void* ComCtlProc(const char* name);

class Win32PictureDecoder : public IPictureDecoder {
public:
    TDecodeResult Decode(std::string_view bytes, std::unique_ptr<TDecodedPicture>& out) override;
    // PNG goes to the imaging component first instead of only after the system loader refused
    // it, as on Windows (Wine's loader reads PNG itself).
    bool PngThroughWic = false;
};

class Win32ShellIcons : public IShellIcons {
public:
    int FileIconIndex(const std::string& name, bool useFileAttributes) override;
    TSize IconSize(bool large) override;
    void DrawIcon(TCanvas& canvas, int index, bool large, int x, int y) override;
    std::unique_ptr<TGraphic> IconBitmap(int index, bool large) override;
};

} // namespace qb
