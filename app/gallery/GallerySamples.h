// The gallery's sample dialogs: each shows one feature of the task dialog component through the
// same calls the program uses (the message facade or a TCustomTaskDialog).
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace qb {

// What a sample needs from the gallery around it.
struct TGalleryContext {
    // Set on every dialog a sample builds itself (the facade decides by the version probe).
    bool ForceEmulation = false;
    // Notes a line for whoever watches the gallery (tests read it).
    std::function<void(const std::string&)> Log;
};

struct TGallerySample {
    const char* Group; // the chooser's first level
    const char* Name;
    const char* Title; // one line for the chooser
    // Shows the sample; returns a line describing what the user chose ("result=1 radio=201").
    std::string (*Show)(TGalleryContext& context);
};

const std::vector<TGallerySample>& GallerySamples();
// The groups in the order their samples come.
std::vector<std::string> GalleryGroups();
// nullptr when no sample has that name.
const TGallerySample* FindGallerySample(const std::string& name);

} // namespace qb
