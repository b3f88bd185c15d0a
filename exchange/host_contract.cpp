#include "exchange/host_contract.h"

#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"

namespace veldra {

std::filesystem::path ExchangeFilePath(const std::filesystem::path& programFolder) {
    return programFolder / kExchangeFileName;
}

bool LoadSelection(TJwwEntityStore& store, const std::filesystem::path& exchangeFile,
                   TFileProblem* problem) {
    InitStore(store);
    bool read = ReadExchangeFile(store, exchangeFile, nullptr, problem);
    ResetCurrentAttributes(store);
    // The host expects "bz" back, first, when it handed it over.
    if (store.state.bzFlag) AddOutputLine(store, "bz");
    SetCurrentLayerGroup(store, store.state.firstLayerGroup);
    SetCurrentLayer(store, store.state.firstLayer);
    return read;
}

bool LoadHostSelection(TJwwEntityStore& store, const std::filesystem::path& programFolder,
                       TFileProblem* problem) {
    return LoadSelection(store, ExchangeFilePath(programFolder), problem);
}

bool HandBackToHost(const TJwwEntityStore& store, const std::filesystem::path& programFolder) {
    return WriteExchangeFile(store, ExchangeFilePath(programFolder));
}

}  // namespace veldra
