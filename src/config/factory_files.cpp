#include "config/factory_files.h"

#include <fstream>

#include "base/file_dialog.h"
#include "base/file_write.h"

namespace cvh {

bool confirmSaveNotCurrent(bool current, const RecordFileTexts& texts, Operator& op) {
    return current || op.askOkCancel("**** Warning ****", texts.notCurrentQuestion,
                                     Icon::Exclamation, true) == Answer::Ok;
}

bool saveRecordFile(Bytes record, const RecordFileTexts& texts, Operator& op) {
    // The dialog runs the event loop, and a record received meanwhile lands in the buffer that
    // `record` shows: the file gets the bytes as built.
    const std::vector<std::uint8_t> built(record.begin(), record.end());
    const auto path =
        op.saveFile(fileDialogRequest(texts.saveTitle, texts.filter, texts.defaultExtension));
    if (!path)
        return false;
    // A technician relies on a saved calibration: a file that could not be written is said so.
    if (const auto error = replaceFile(*path, built)) {
        op.notice("File Error", "Unable to write " + error->describe(), true);
        return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> loadRecordFile(std::size_t length,
                                                        const RecordFileTexts& texts,
                                                        Operator& op) {
    const auto path =
        op.openFile(fileDialogRequest(texts.loadTitle, texts.filter, texts.defaultExtension));
    if (!path)
        return std::nullopt;
    auto bytes = readFilePrefix(*path, length);
    if (!bytes || bytes->size() < length)
        return std::nullopt;
    return bytes;
}

std::optional<std::vector<std::uint8_t>> readFilePrefix(const std::filesystem::path& path,
                                                        std::size_t length) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(length);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    if (in.bad())
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace cvh
