// Message boxes that are recorded instead of shown, for the life of the
// object, so no test waits for a click.
#pragma once

#include "platform/message_box.h"

#include <string>
#include <utility>
#include <vector>

namespace lumo::test {

class RecordingBoxes : public MessageBoxes {
public:
    RecordingBoxes() { previous_ = SetMessageBoxes(this); }
    ~RecordingBoxes() override { SetMessageBoxes(previous_); }
    RecordingBoxes(const RecordingBoxes&) = delete;
    RecordingBoxes& operator=(const RecordingBoxes&) = delete;

    MessageAnswer Show(MessageKind kind, const std::string&, const std::string& text,
                       MessageButtons) override {
        shown.push_back({kind, text});
        return answer;
    }
    std::vector<std::pair<MessageKind, std::string>> shown;
    MessageAnswer answer = MessageAnswer::Ok; // what every box answers

private:
    MessageBoxes* previous_;
};

} // namespace lumo::test
