#include "oru/input_buffer.h"

#include <algorithm>
#include <cstring>

#include "oru/archive_error.h"

namespace kaviro::oru {

InputBuffer::InputBuffer(ByteSource& source, size_t bufferSize) : source_(source), buffer_(bufferSize) {}

bool InputBuffer::Fill() {
    position_ = 0;
    end_ = source_.Read(buffer_.data(), buffer_.size());
    return end_ != 0;
}

size_t InputBuffer::Read(uint8_t* destination, size_t size) {
    size_t done = 0;
    while (done < size) {
        if (position_ == end_) {
            if (size - done >= buffer_.size()) {
                // Large reads bypass the buffer.
                const size_t count = source_.Read(destination + done, size - done);
                if (count == 0) {
                    break;
                }
                done += count;
                continue;
            }
            if (!Fill()) {
                break;
            }
        }
        const size_t count = std::min(size - done, end_ - position_);
        std::memcpy(destination + done, buffer_.data() + position_, count);
        position_ += count;
        done += count;
    }
    return done;
}

void InputBuffer::ReadExact(uint8_t* destination, size_t size) {
    if (Read(destination, size) != size) {
        ThrowDataError("packed stream ends early");
    }
}

}  // namespace kaviro::oru
