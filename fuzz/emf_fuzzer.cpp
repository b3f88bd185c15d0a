// Fuzz target for the enhanced metafile player.

#include "display/pictures/metafile_emf.h"
#include "fuzz/metafile_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return veldra::PlayAnyMetafile<veldra::TEmfPicture>(data, size);
}
