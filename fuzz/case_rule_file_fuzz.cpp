// A case-rule file of any bytes, UTF-8 or Windows-1252 or a mix line by line,
// read with each conflict mode and any answers to the conflict questions: the
// list must stay sorted, within its cap, and survive a save and a reload.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/case_rule_files.h"
#include "app/headless_ui.h"
#include "engine/case_rule_list.h"
#include "memory_file_system.h"
#include "text/unicode_text.h"

namespace {

struct Streams {
    std::istringstream input;
    std::ostringstream output;
};

// Answers the conflict questions from the input; the streams come first so
// that they exist before the window that writes to them.
class FuzzedAnswers final : private Streams, public kestrel::app::HeadlessUi {
  public:
    explicit FuzzedAnswers(FuzzedDataProvider& in) : HeadlessUi(input, output, false), in_(in) {}
    kestrel::app::Answer Ask(std::string_view, std::string_view, kestrel::app::Buttons,
                             kestrel::app::Icon) override {
        static constexpr kestrel::app::Answer kAnswers[] = {
            kestrel::app::Answer::Yes, kestrel::app::Answer::No, kestrel::app::Answer::Cancel};
        return kAnswers[in_.ConsumeIntegralInRange<int>(0, 2)];
    }

  private:
    FuzzedDataProvider& in_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange<int>(-1, 3);
    const std::size_t answerBytes = in.ConsumeIntegralInRange<std::size_t>(0, 16);
    const std::vector<std::uint8_t> answerData = in.ConsumeBytes<std::uint8_t>(answerBytes);
    kestrel::fuzzing::MemoryFileSystem files;
    files.files["C:\\rules.csr"] = in.ConsumeRemainingBytesAsString();
    FuzzedDataProvider answers(answerData.data(), answerData.size());
    FuzzedAnswers ui(answers);

    kestrel::engine::CaseRuleList list;
    if (kestrel::app::ReadCaseRules(files, ui, list, "C:\\rules.csr", mode) != 1 ||
        list.Size() > kestrel::engine::kMaxCaseRules) {
        __builtin_trap();
    }
    for (int i = 1; i < list.Size(); ++i) {
        if (kestrel::text::CompareIgnoringCase(list.At(i - 1).text, list.At(i).text) > 0) {
            __builtin_trap();
        }
    }
    // What the editor saves reads back as the same number of rules.
    if (!kestrel::app::CaseRulesSave(files, list, "C:\\saved.csr").Ok()) {
        __builtin_trap();
    }
    kestrel::engine::CaseRuleList reloaded;
    kestrel::app::LoadCaseRules(files, ui, reloaded, "C:\\saved.csr");
    if (reloaded.Size() > list.Size()) {
        __builtin_trap();
    }
    return 0;
}
