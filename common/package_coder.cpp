#include "common/package_coder.h"

#include "common/package_file.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Bcj2.h"
#include "Bra.h"
#include "Delta.h"
#include "Lzma2Dec.h"
#include "LzmaDec.h"
#include "Ppmd7.h"

namespace {

constexpr UInt32 kCopy = 0;
constexpr UInt32 kDelta = 3;
constexpr UInt32 kArm64 = 0xa;
constexpr UInt32 kRiscv = 0xb;
constexpr UInt32 kLzma2 = 0x21;
constexpr UInt32 kLzma = 0x30101;
constexpr UInt32 kPpmd = 0x30401;
constexpr UInt32 kX86 = 0x3030103;
constexpr UInt32 kBcj2 = 0x303011B;
constexpr UInt32 kPpc = 0x3030205;
constexpr UInt32 kIa64 = 0x3030401;
constexpr UInt32 kArm = 0x3030501;
constexpr UInt32 kArmThumb = 0x3030701;
constexpr UInt32 kSparc = 0x3030805;

// Sizes of the stages' own buffers; the dictionaries come on top.
constexpr size_t kPackBuffer = 1 << 18;
constexpr size_t kOutputBuffer = 1 << 18;
constexpr size_t kWordStreamBuffer = 1 << 16;
// Output decoded per step, so that every piece handed on stays small.
constexpr size_t kDecodeStep = 1 << 20;

// Bytes held by the package reader, and the cap a test may put on them.
std::atomic<size_t> g_inUse{0};
std::atomic<size_t> g_limit{0};
constexpr size_t kHeader = 16;  // keeps the blocks 16-byte aligned where malloc's are

void* CountedAlloc(ISzAllocPtr, size_t size) {
    if (size == 0 || size > static_cast<size_t>(-1) - kHeader) return nullptr;
    size_t now = g_inUse.fetch_add(size) + size;
    size_t limit = g_limit.load();
    void* block = (limit != 0 && now > limit) ? nullptr : std::malloc(size + kHeader);
    if (block == nullptr) {
        g_inUse.fetch_sub(size);
        return nullptr;
    }
    *static_cast<size_t*>(block) = size;
    return static_cast<Byte*>(block) + kHeader;
}

void CountedFree(ISzAllocPtr, void* address) {
    if (address == nullptr) return;
    Byte* block = static_cast<Byte*>(address) - kHeader;
    g_inUse.fetch_sub(*reinterpret_cast<size_t*>(block));
    std::free(block);
}

const ISzAlloc kAlloc = {CountedAlloc, CountedFree};

// A block from the package allocator, aligned to 16 bytes.
class Buffer {
public:
    Buffer() = default;
    ~Buffer() { ISzAlloc_Free(&kAlloc, block_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    bool Allocate(size_t size) {
        if (size > static_cast<size_t>(-1) - 15) return false;  // a 4 GiB dictionary in a 32-bit process
        block_ = ISzAlloc_Alloc(&kAlloc, size + 15);
        if (block_ == nullptr) return false;
        data_ = reinterpret_cast<Byte*>((reinterpret_cast<uintptr_t>(block_) + 15) & ~static_cast<uintptr_t>(15));
        size_ = size;
        return true;
    }
    Byte* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void* block_ = nullptr;
    Byte* data_ = nullptr;
    size_t size_ = 0;
};

size_t Capped(UInt64 wanted, size_t cap) { return static_cast<size_t>(std::min<UInt64>(wanted, cap)); }

// SZ_OK when the input has nothing more and ended well itself.
SRes FinishInput(PackageCoder& input) {
    const Byte* data = nullptr;
    size_t size = 0;
    SRes result = input.Look(data, size);
    if (result != SZ_OK) return result;
    if (size != 0) return SZ_ERROR_DATA;
    return input.Finish();
}

// A stage that hands out its output from a buffer of its own, filled again
// once everything in it was taken.
class BufferedCoder : public PackageCoder {
public:
    SRes Look(const Byte*& data, size_t& size) final {
        if (pos_ == end_ && left_ > 0) {
            size_t filled = 0;
            SRes result = Fill(buffer_.Data(), Capped(left_, buffer_.Size()), filled);
            if (result != SZ_OK) return result;
            left_ -= filled;
            pos_ = 0;
            end_ = filled;
        }
        data = buffer_.Data() + pos_;
        size = end_ - pos_;
        return SZ_OK;
    }
    void Skip(size_t size) final { pos_ += size; }

protected:
    explicit BufferedCoder(UInt64 size) : left_(size) {}
    SRes AllocateBuffer(size_t most) {
        return buffer_.Allocate(std::max<size_t>(Capped(left_, most), 1)) ? SZ_OK : SZ_ERROR_MEM;
    }
    // Puts the next output into the buffer: at most `size` bytes, at least one.
    virtual SRes Fill(Byte* buffer, size_t size, size_t& filled) = 0;
    bool AllTaken() const { return pos_ == end_ && left_ == 0; }

private:
    Buffer buffer_;
    UInt64 left_;
    size_t pos_ = 0;
    size_t end_ = 0;
};

class PackInput final : public BufferedCoder {
public:
    PackInput(PackageArchiveInput& archive, UInt64 start, UInt64 size)
        : BufferedCoder(size), archive_(archive), next_(start) {}

    SRes Init() { return AllocateBuffer(kPackBuffer); }
    SRes Finish() override { return AllTaken() ? SZ_OK : SZ_ERROR_DATA; }

private:
    SRes Fill(Byte* buffer, size_t size, size_t& filled) override {
        filled = size;
        SRes result = archive_.ReadAt(next_, buffer, filled);
        if (result != SZ_OK) return result;
        if (filled == 0) return SZ_ERROR_INPUT_EOF;
        next_ += filled;
        return SZ_OK;
    }

    PackageArchiveInput& archive_;
    UInt64 next_;
};

class CopyCoder final : public PackageCoder {
public:
    CopyCoder(UInt64 size, PackageCoderPtr input) : left_(size), input_(std::move(input)) {}

    SRes Look(const Byte*& data, size_t& size) override {
        size = 0;
        if (left_ == 0) return SZ_OK;
        SRes result = input_->Look(data, size);
        if (result != SZ_OK) return result;
        if (size == 0) return SZ_ERROR_INPUT_EOF;
        size = Capped(left_, size);
        return SZ_OK;
    }
    void Skip(size_t size) override {
        input_->Skip(size);
        left_ -= size;
    }
    SRes Finish() override { return FinishInput(*input_); }

private:
    UInt64 left_;
    PackageCoderPtr input_;
};

// The buffer an LZMA dictionary needs, rounded up as the decoder itself
// does, but never more than the stream holds.
SizeT DictionaryBufferSize(UInt32 dictionary, UInt64 unpackSize) {
    UInt32 mask = (1u << 12) - 1;
    if (dictionary >= (1u << 30)) {
        mask = (1u << 22) - 1;
    } else if (dictionary >= (1u << 22)) {
        mask = (1u << 20) - 1;
    }
    SizeT size = (static_cast<SizeT>(dictionary) + mask) & ~static_cast<SizeT>(mask);
    if (size < dictionary) size = dictionary;
    if (unpackSize < size) size = static_cast<SizeT>(unpackSize);
    return size == 0 ? 1 : size;
}

// LZMA and LZMA2 decode into their dictionary, a ring no larger than the
// stream, and hand out straight from it.
class LzmaCoder final : public PackageCoder {
public:
    LzmaCoder(bool lzma2, UInt64 size, PackageCoderPtr input) : lzma2_(lzma2), left_(size), input_(std::move(input)) {
        LzmaDec_CONSTRUCT(&lzma_);
        Lzma2Dec_CONSTRUCT(&lzma2Dec_);
    }
    ~LzmaCoder() override {
        if (!probsAllocated_) return;
        if (lzma2_) {
            Lzma2Dec_FreeProbs(&lzma2Dec_, &kAlloc);
        } else {
            LzmaDec_FreeProbs(&lzma_, &kAlloc);
        }
    }

    SRes Init(const Byte* props, size_t propsSize) {
        UInt32 dictionary = 0;
        SRes result;
        if (lzma2_) {
            if (propsSize != 1 || props[0] > 40) return SZ_ERROR_UNSUPPORTED;
            dictionary = props[0] == 40 ? 0xFFFFFFFF : (2u | (props[0] & 1u)) << (props[0] / 2 + 11);
            result = Lzma2Dec_AllocateProbs(&lzma2Dec_, props[0], &kAlloc);
        } else {
            CLzmaProps parsed;
            if (LzmaProps_Decode(&parsed, props, static_cast<unsigned>(propsSize)) != SZ_OK) return SZ_ERROR_UNSUPPORTED;
            dictionary = parsed.dicSize;
            result = LzmaDec_AllocateProbs(&lzma_, props, static_cast<unsigned>(propsSize), &kAlloc);
        }
        if (result != SZ_OK) return result;
        probsAllocated_ = true;
        if (!dictionary_.Allocate(DictionaryBufferSize(dictionary, left_))) return SZ_ERROR_MEM;
        Decoder().dic = dictionary_.Data();
        Decoder().dicBufSize = dictionary_.Size();
        if (lzma2_) {
            Lzma2Dec_Init(&lzma2Dec_);
        } else {
            LzmaDec_Init(&lzma_);
        }
        return SZ_OK;
    }

    SRes Look(const Byte*& data, size_t& size) override {
        CLzmaDec& decoder = Decoder();
        if (out_ == decoder.dicPos && left_ > 0) {
            // The ring starts over at its front once everything was handed out.
            if (decoder.dicPos == decoder.dicBufSize) decoder.dicPos = out_ = 0;
            SizeT start = decoder.dicPos;
            SizeT limit = start + Capped(left_, std::min<size_t>(decoder.dicBufSize - start, kDecodeStep));
            for (;;) {
                SizeT inProcessed = 0;
                ELzmaStatus status;
                SRes result = DecodeStep(limit, LZMA_FINISH_ANY, inProcessed, status);
                if (result != SZ_OK) return result;
                if (decoder.dicPos != start) break;
                // Input ended early, or the stream ended before its output did.
                if (inProcessed == 0) return SZ_ERROR_DATA;
            }
            left_ -= decoder.dicPos - start;
        }
        data = decoder.dic + out_;
        size = decoder.dicPos - out_;
        return SZ_OK;
    }
    void Skip(size_t size) override { out_ += size; }

    SRes Finish() override {
        for (;;) {
            SizeT inProcessed = 0;
            ELzmaStatus status;
            SRes result = DecodeStep(Decoder().dicPos, LZMA_FINISH_END, inProcessed, status);
            if (result != SZ_OK) return result;
            if (status == LZMA_STATUS_FINISHED_WITH_MARK) break;
            if (status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK) {
                const Byte* rest = nullptr;
                size_t restSize = 0;
                result = input_->Look(rest, restSize);
                if (result != SZ_OK) return result;
                if (restSize == 0) break;
            }
            if (inProcessed == 0) return SZ_ERROR_DATA;
        }
        return FinishInput(*input_);
    }

private:
    CLzmaDec& Decoder() { return lzma2_ ? lzma2Dec_.decoder : lzma_; }

    SRes DecodeStep(SizeT limit, ELzmaFinishMode mode, SizeT& inProcessed, ELzmaStatus& status) {
        const Byte* in = nullptr;
        size_t available = 0;
        SRes result = input_->Look(in, available);
        if (result != SZ_OK) return result;
        inProcessed = available;
        result = lzma2_ ? Lzma2Dec_DecodeToDic(&lzma2Dec_, limit, in, &inProcessed, mode, &status)
                        : LzmaDec_DecodeToDic(&lzma_, limit, in, &inProcessed, mode, &status);
        input_->Skip(inProcessed);
        return result;
    }

    bool lzma2_;
    UInt64 left_;
    PackageCoderPtr input_;
    CLzmaDec lzma_;
    CLzma2Dec lzma2Dec_;
    bool probsAllocated_ = false;
    Buffer dictionary_;
    SizeT out_ = 0;
};

// Feeds the PPMd range decoder byte by byte from the input stage.
struct ByteReader {
    IByteIn vt;  // first, so that the decoder's pointer is the reader's
    const Byte* begin;
    const Byte* cur;
    const Byte* end;
    PackageCoder* input;
    SRes result;
    bool ended;
};

Byte ReadNextByte(IByteInPtr stream) {
    ByteReader* p = reinterpret_cast<ByteReader*>(const_cast<IByteIn*>(stream));
    if (p->cur != p->end) return *p->cur++;
    if (p->result == SZ_OK) {
        p->input->Skip(static_cast<size_t>(p->end - p->begin));
        p->begin = p->cur = p->end = nullptr;
        const Byte* data = nullptr;
        size_t size = 0;
        p->result = p->input->Look(data, size);
        if (p->result == SZ_OK && size != 0) {
            p->begin = p->cur = data;
            p->end = data + size;
            return *p->cur++;
        }
    }
    p->ended = true;
    return 0;
}

class PpmdCoder final : public BufferedCoder {
public:
    PpmdCoder(UInt64 size, PackageCoderPtr input) : BufferedCoder(size), input_(std::move(input)) {
        Ppmd7_Construct(&ppmd_);
        reader_ = ByteReader{{ReadNextByte}, nullptr, nullptr, nullptr, input_.get(), SZ_OK, false};
    }
    ~PpmdCoder() override {
        if (allocated_) Ppmd7_Free(&ppmd_, &kAlloc);
    }

    SRes Init(const Byte* props, size_t propsSize) {
        if (propsSize != 5) return SZ_ERROR_UNSUPPORTED;
        unsigned order = props[0];
        UInt32 memory = GetUi32(props + 1);
        if (order < PPMD7_MIN_ORDER || order > PPMD7_MAX_ORDER || memory < PPMD7_MIN_MEM_SIZE ||
            memory > PPMD7_MAX_MEM_SIZE)
            return SZ_ERROR_UNSUPPORTED;
        SRes result = AllocateBuffer(kOutputBuffer);
        if (result != SZ_OK) return result;
        if (!Ppmd7_Alloc(&ppmd_, memory, &kAlloc)) return SZ_ERROR_MEM;
        allocated_ = true;
        Ppmd7_Init(&ppmd_, order);
        ppmd_.rc.dec.Stream = &reader_.vt;
        if (!Ppmd7z_RangeDec_Init(&ppmd_.rc.dec) || reader_.ended) return ReaderError();
        return SZ_OK;
    }

    SRes Finish() override {
        if (!AllTaken() || reader_.ended || !Ppmd7z_RangeDec_IsFinishedOK(&ppmd_.rc.dec)) return ReaderError();
        input_->Skip(static_cast<size_t>(reader_.cur - reader_.begin));
        reader_.begin = reader_.cur = reader_.end = nullptr;
        return FinishInput(*input_);
    }

private:
    SRes Fill(Byte* buffer, size_t size, size_t& filled) override {
        for (size_t i = 0; i < size; ++i) {
            int symbol = Ppmd7z_DecodeSymbol(&ppmd_);
            if (reader_.ended || symbol < 0) return ReaderError();
            buffer[i] = static_cast<Byte>(symbol);
        }
        filled = size;
        return SZ_OK;
    }
    SRes ReaderError() const { return reader_.result != SZ_OK ? reader_.result : SZ_ERROR_DATA; }

    PackageCoderPtr input_;
    CPpmd7 ppmd_;
    bool allocated_ = false;
    ByteReader reader_;
};

// Branch converters and the delta filter: the input is copied into a buffer
// of the filter's own (a dictionary must stay as it was decoded), converted
// there, and handed out; an instruction cut by the buffer's end waits at
// its front for the bytes that complete it.
class FilterCoder final : public PackageCoder {
public:
    FilterCoder(UInt32 method, PackageCoderPtr input) : method_(method), input_(std::move(input)) {}

    SRes Init(const Byte* props, size_t propsSize, UInt64 size) {
        switch (method_) {
        case kX86:
            if (propsSize != 0) return SZ_ERROR_UNSUPPORTED;
            break;
        case kArm64:
        case kRiscv:
            if (propsSize == 4) {
                pc_ = GetUi32(props);
                if ((pc_ & (method_ == kArm64 ? 3u : 1u)) != 0) return SZ_ERROR_UNSUPPORTED;
            } else if (propsSize != 0) {
                return SZ_ERROR_UNSUPPORTED;
            }
            convert_ = method_ == kArm64 ? z7_BranchConv_ARM64_Dec : z7_BranchConv_RISCV_Dec;
            break;
        case kDelta:
            if (propsSize != 1) return SZ_ERROR_UNSUPPORTED;
            distance_ = static_cast<unsigned>(props[0]) + 1;
            Delta_Init(deltaState_);
            break;
        default:
            if (propsSize != 0) return SZ_ERROR_UNSUPPORTED;
            convert_ = method_ == kPpc     ? z7_BranchConv_PPC_Dec
                       : method_ == kIa64  ? z7_BranchConv_IA64_Dec
                       : method_ == kArm   ? z7_BranchConv_ARM_Dec
                       : method_ == kSparc ? z7_BranchConv_SPARC_Dec
                                           : z7_BranchConv_ARMT_Dec;
            break;
        }
        // Room for the longest instruction the converters look at, at least.
        return buffer_.Allocate(std::max<size_t>(Capped(size, kOutputBuffer), 64)) ? SZ_OK : SZ_ERROR_MEM;
    }

    SRes Look(const Byte*& data, size_t& size) override {
        if (out_ == converted_ && !(ended_ && out_ == filled_)) {
            Byte* buffer = buffer_.Data();
            std::memmove(buffer, buffer + converted_, filled_ - converted_);
            filled_ -= converted_;
            converted_ = out_ = 0;
            while (filled_ < buffer_.Size() && !ended_) {
                const Byte* in = nullptr;
                size_t available = 0;
                SRes result = input_->Look(in, available);
                if (result != SZ_OK) return result;
                if (available == 0) {
                    ended_ = true;
                    break;
                }
                available = std::min(available, buffer_.Size() - filled_);
                std::memcpy(buffer + filled_, in, available);
                input_->Skip(available);
                filled_ += available;
            }
            converted_ = Convert(buffer, filled_);
            // What the converter leaves at the very end stays as it is.
            if (ended_) converted_ = filled_;
            if (converted_ == 0 && !ended_) return SZ_ERROR_FAIL;
        }
        data = buffer_.Data() + out_;
        size = converted_ - out_;
        return SZ_OK;
    }
    void Skip(size_t size) override { out_ += size; }
    SRes Finish() override { return out_ == filled_ ? FinishInput(*input_) : SZ_ERROR_DATA; }

private:
    size_t Convert(Byte* data, size_t size) {
        if (size == 0) return 0;
        if (method_ == kDelta) {
            Delta_Decode(deltaState_, distance_, data, size);
            return size;
        }
        Byte* end = method_ == kX86 ? z7_BranchConvSt_X86_Dec(data, size, pc_, &x86State_) : convert_(data, size, pc_);
        size_t processed = static_cast<size_t>(end - data);
        pc_ += static_cast<UInt32>(processed);
        return processed;
    }

    UInt32 method_;
    PackageCoderPtr input_;
    z7_Func_BranchConv convert_ = nullptr;
    UInt32 pc_ = 0;
    UInt32 x86State_ = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
    unsigned distance_ = 1;
    Byte deltaState_[DELTA_STATE_SIZE] = {};
    Buffer buffer_;
    size_t filled_ = 0;     // bytes in the buffer
    size_t converted_ = 0;  // of which ready to hand out
    size_t out_ = 0;        // of which handed out
    bool ended_ = false;
};

// The four-stream x86 converter: the main stream is read straight from its
// stage, the call and jump streams through small buffers of whole 32-bit
// words, the range coder's bytes straight from the archive.
class Bcj2Coder final : public BufferedCoder {
public:
    Bcj2Coder(UInt64 size, std::vector<PackageCoderPtr>& inputs) : BufferedCoder(size) {
        for (size_t i = 0; i < BCJ2_NUM_STREAMS; ++i) inputs_[i] = std::move(inputs[i]);
        Bcj2Dec_Init(&decoder_);
        for (size_t i = 0; i < BCJ2_NUM_STREAMS; ++i) {
            decoder_.bufs[i] = decoder_.lims[i] = nullptr;
            base_[i] = nullptr;
        }
    }

    SRes Init(size_t propsSize) {
        if (propsSize != 0) return SZ_ERROR_UNSUPPORTED;
        if (AllocateBuffer(kOutputBuffer) != SZ_OK || !words_[0].Allocate(kWordStreamBuffer) ||
            !words_[1].Allocate(kWordStreamBuffer))
            return SZ_ERROR_MEM;
        return SZ_OK;
    }

    SRes Finish() override {
        if (!AllTaken() || !Bcj2Dec_IsMaybeFinished(&decoder_)) return SZ_ERROR_DATA;
        for (unsigned i = 0; i < BCJ2_NUM_STREAMS; ++i) {
            if (BCJ2_IS_32BIT_STREAM(i)) {
                if (decoder_.bufs[i] != decoder_.lims[i] || wordFill_[i - 1] != wordUsable_[i - 1]) return SZ_ERROR_DATA;
            } else {
                inputs_[i]->Skip(static_cast<size_t>(decoder_.bufs[i] - base_[i]));
                base_[i] = decoder_.bufs[i];
            }
            SRes result = FinishInput(*inputs_[i]);
            if (result != SZ_OK) return result;
        }
        return SZ_OK;
    }

private:
    SRes Fill(Byte* buffer, size_t size, size_t& filled) override {
        decoder_.dest = buffer;
        decoder_.destLim = buffer + size;
        for (;;) {
            SRes result = Bcj2Dec_Decode(&decoder_);
            if (result != SZ_OK) return result;
            if (decoder_.dest == decoder_.destLim) break;
            // The decoder stops short of its output only to ask for input.
            unsigned stream = decoder_.state;
            if (stream >= BCJ2_NUM_STREAMS) return SZ_ERROR_DATA;
            bool more = false;
            result = Refill(stream, more);
            if (result != SZ_OK) return result;
            if (!more) return SZ_ERROR_DATA;
        }
        filled = size;
        return SZ_OK;
    }

    // Called once the decoder used up what it had of the stream.
    SRes Refill(unsigned stream, bool& more) {
        PackageCoder& input = *inputs_[stream];
        if (!BCJ2_IS_32BIT_STREAM(stream)) {
            input.Skip(static_cast<size_t>(decoder_.bufs[stream] - base_[stream]));
            const Byte* data = nullptr;
            size_t size = 0;
            SRes result = input.Look(data, size);
            if (result != SZ_OK) return result;
            base_[stream] = decoder_.bufs[stream] = data;
            decoder_.lims[stream] = data + size;
            more = size != 0;
            return SZ_OK;
        }
        // Whole words only: a word cut by a piece's end waits at the front.
        size_t k = stream - 1;
        Byte* words = words_[k].Data();
        size_t tail = wordFill_[k] - wordUsable_[k];
        std::memmove(words, words + wordUsable_[k], tail);
        wordFill_[k] = tail;
        while (wordFill_[k] < words_[k].Size()) {
            const Byte* data = nullptr;
            size_t size = 0;
            SRes result = input.Look(data, size);
            if (result != SZ_OK) return result;
            if (size == 0) break;
            size = std::min(size, words_[k].Size() - wordFill_[k]);
            std::memcpy(words + wordFill_[k], data, size);
            input.Skip(size);
            wordFill_[k] += size;
        }
        wordUsable_[k] = wordFill_[k] & ~static_cast<size_t>(3);
        decoder_.bufs[stream] = words;
        decoder_.lims[stream] = words + wordUsable_[k];
        more = wordUsable_[k] != 0;
        return SZ_OK;
    }

    PackageCoderPtr inputs_[BCJ2_NUM_STREAMS];
    CBcj2Dec decoder_;
    const Byte* base_[BCJ2_NUM_STREAMS];  // what the last look of a direct stream began with
    Buffer words_[2];
    size_t wordFill_[2] = {0, 0};
    size_t wordUsable_[2] = {0, 0};
};

template <typename Coder>
SRes Keep(Coder* coder, SRes result, PackageCoderPtr& out) {
    out.reset(coder);
    if (result != SZ_OK) out.reset();
    return result;
}

}  // namespace

const ISzAlloc* PackageAlloc() { return &kAlloc; }

void SetPackageMemoryLimit(size_t bytes) { g_limit.store(bytes); }

SRes PackageArchiveInput::ReadAt(UInt64 offset, Byte* buffer, size_t& size) {
    if (!known_ || position_ != offset) {
        Int64 position = static_cast<Int64>(offset);
        known_ = false;
        SRes result = ISeekInStream_Seek(stream_, &position, SZ_SEEK_SET);
        if (result != SZ_OK) return result;
    }
    SRes result = ISeekInStream_Read(stream_, buffer, &size);
    known_ = result == SZ_OK;
    position_ = offset + size;
    return result;
}

SRes CreatePackInput(PackageArchiveInput& archive, UInt64 start, UInt64 size, PackageCoderPtr& out) {
    PackInput* input = new (std::nothrow) PackInput(archive, start, size);
    if (input == nullptr) return SZ_ERROR_MEM;
    return Keep(input, input->Init(), out);
}

unsigned CoderInputCount(UInt32 method) {
    switch (method) {
    case kBcj2:
        return BCJ2_NUM_STREAMS;
    case kCopy:
    case kLzma:
    case kLzma2:
    case kPpmd:
    case kDelta:
    case kX86:
    case kArm64:
    case kRiscv:
    case kPpc:
    case kIa64:
    case kArm:
    case kArmThumb:
    case kSparc:
        return 1;
    default:
        return 0;
    }
}

SRes CreateCoder(UInt32 method, const Byte* props, size_t propsSize, UInt64 unpackSize,
                 std::vector<PackageCoderPtr>& inputs, PackageCoderPtr& out) {
    out.reset();
    if (CoderInputCount(method) == 0 || inputs.size() != CoderInputCount(method)) return SZ_ERROR_UNSUPPORTED;
    if (method == kBcj2) {
        Bcj2Coder* coder = new (std::nothrow) Bcj2Coder(unpackSize, inputs);
        if (coder == nullptr) return SZ_ERROR_MEM;
        return Keep(coder, coder->Init(propsSize), out);
    }
    PackageCoderPtr input = std::move(inputs[0]);
    if (method == kCopy) {
        if (propsSize != 0) return SZ_ERROR_UNSUPPORTED;
        CopyCoder* coder = new (std::nothrow) CopyCoder(unpackSize, std::move(input));
        if (coder == nullptr) return SZ_ERROR_MEM;
        return Keep(coder, SZ_OK, out);
    }
    if (method == kLzma || method == kLzma2) {
        LzmaCoder* coder = new (std::nothrow) LzmaCoder(method == kLzma2, unpackSize, std::move(input));
        if (coder == nullptr) return SZ_ERROR_MEM;
        return Keep(coder, coder->Init(props, propsSize), out);
    }
    if (method == kPpmd) {
        PpmdCoder* coder = new (std::nothrow) PpmdCoder(unpackSize, std::move(input));
        if (coder == nullptr) return SZ_ERROR_MEM;
        return Keep(coder, coder->Init(props, propsSize), out);
    }
    FilterCoder* coder = new (std::nothrow) FilterCoder(method, std::move(input));
    if (coder == nullptr) return SZ_ERROR_MEM;
    return Keep(coder, coder->Init(props, propsSize, unpackSize), out);
}
