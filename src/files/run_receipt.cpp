#include "files/run_receipt.h"

#include <openssl/evp.h>

#include "base/cformat.h"

namespace cvh {

struct Sha256::Context {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
    reset();
}

Sha256::~Sha256() = default;

void Sha256::reset() {
    EVP_DigestInit_ex(context_->ctx, EVP_sha256(), nullptr);
}

void Sha256::update(Bytes bytes) {
    if (!bytes.empty())
        EVP_DigestUpdate(context_->ctx, bytes.data(), bytes.size());
}

std::string Sha256::hex() const {
    // Finish on a copy, so more bytes may still follow.
    EVP_MD_CTX* copy = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    std::string out;
    if (copy != nullptr && EVP_MD_CTX_copy_ex(copy, context_->ctx) == 1 &&
        EVP_DigestFinal_ex(copy, digest, &length) == 1) {
        for (unsigned int i = 0; i < length; ++i)
            out += cformat("%02x", digest[i]);
    }
    EVP_MD_CTX_free(copy);
    return out;
}

std::string receiptText(const std::string& digestHex, const std::string& fileName) {
    return digestHex + "  " + fileName + "\n";
}

std::optional<FileError> writeReceipt(const std::filesystem::path& runFile,
                                      const std::string& digestHex) {
    std::filesystem::path receipt = runFile;
    receipt += ".sha256";
    if (digestHex.empty())
        return FileError{receipt, "no digest could be computed"};
    return replaceFile(receipt, receiptText(digestHex, runFile.filename().string()));
}

const char* runResultText(RunResult result) {
    switch (result) {
        case RunResult::Complete:
            return "complete";
        case RunResult::SizeMismatch:
            return "size mismatch";
        case RunResult::Stalled:
            return "stalled";
        case RunResult::Cancelled:
            return "cancelled";
        case RunResult::WriteError:
            return "write error";
    }
    return "?";
}

std::string uploadLogLine(const CalendarTime& t, const RunLogEntry& e) {
    return cformat(
        "%04d-%02d-%02d %02d:%02d:%02d  serial %d  run %03d  announced %lld  received %lld  "
        "duplicates %lld  re-requests %d  %s\n",
        t.year, t.month, t.day, t.hour, t.minute, t.second, e.loggerSerialNumber, e.runNumber,
        static_cast<long long>(e.announcedBytes), static_cast<long long>(e.receivedBytes),
        static_cast<long long>(e.duplicateBlocks), e.reRequests, runResultText(e.result));
}

std::optional<FileError> appendUploadLog(const std::filesystem::path& folder,
                                         const std::string& line) {
    AppendingFile log;
    if (auto error = log.open(folder / kUploadLogName, AppendingFile::Start::Append))
        return error;
    if (auto error = log.writeRecord(line))
        return error;
    return log.close();
}

}  // namespace cvh
