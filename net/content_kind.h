// The kind of document a fetch produced.
#pragma once

namespace lumo {

enum ThtmlFileType : int { ckHTML = 0, ckText = 1, ckImage = 2 };

} // namespace lumo
