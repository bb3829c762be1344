#include "tests/ui/WizardProbeRun.h"

#include <chrono>
#include <sstream>
#include <utility>
#include <vector>

#include "base/Handles.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace uitest {

const Language kLanguages[13] = {
    {"ENU", "en_US.UTF-8"}, {"CHT", "zh_TW.UTF-8"}, {"CHS", "zh_CN.UTF-8"}, {"JPN", "ja_JP.UTF-8"},
    {"KOR", "ko_KR.UTF-8"}, {"FRA", "fr_FR.UTF-8"}, {"DEU", "de_DE.UTF-8"}, {"ITA", "it_IT.UTF-8"},
    {"RUS", "ru_RU.UTF-8"}, {"ESN", "es_ES.UTF-8"}, {"SVE", "sv_SE.UTF-8"}, {"NLD", "nl_NL.UTF-8"},
    {"PTB", "pt_BR.UTF-8"}};

namespace {

// A probe takes well under a second on a quiet machine; a loaded one may need many times that.
constexpr DWORD kProbeLimitMs = 60000;
// Once probes have not finished within this, the rest are not waited for as long: a test program
// whose probes all hang still ends within its own limit, with every reason written out.
constexpr DWORD kAllProbesLimitMs = 300000;

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// The system scale that processes started while it lives take (HKCU LogPixels), put back after.
class ScopedLogPixels {
public:
    explicit ScopedLogPixels(UINT dpi) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          m_key.put(), nullptr);
        DWORD size = sizeof m_old;
        m_hadOld = ::RegQueryValueExW(m_key.get(), L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&m_old),
                                      &size) == ERROR_SUCCESS;
        const DWORD value = dpi;
        ::RegSetValueExW(m_key.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    ~ScopedLogPixels() {
        if (m_hadOld)
            ::RegSetValueExW(m_key.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_old),
                             sizeof m_old);
        else
            ::RegDeleteValueW(m_key.get(), L"LogPixels");
    }

private:
    fw::UniqueRegKey m_key;
    DWORD m_old = 0;
    bool m_hadOld = false;
};

DWORD RemainingBudget() {
    static const auto start = std::chrono::steady_clock::now();
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    const long long left = static_cast<long long>(kAllProbesLimitMs) - spent.count();
    return left > 5000 ? static_cast<DWORD>(left < kProbeLimitMs ? left : kProbeLimitMs) : 5000;
}

void Parse(const std::vector<std::string>& lines, WizardFacts& facts) {
    bool ended = false;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "text") {
            UINT id = 0;
            TextFit fit;
            if (in >> id >> fit.needWidth >> fit.needHeight >> fit.roomWidth >> fit.roomHeight) facts.texts[id] = fit;
        } else if (kind == "window") {
            in >> facts.window.cx >> facts.window.cy >> facts.dpi;
        } else if (kind == "cap") {
            in >> facts.sentenceCapHeight >> facts.captionCapHeight;
        } else if (kind == "picture") {
            std::string name;
            int same = 0;
            if (in >> name >> same) facts.pictures[name] = same != 0;
        } else if (kind == "failed") {
            facts.failure = "the probe says: " + line.substr(7);
        } else if (kind == "end") {
            ended = true;
        }
    }
    if (facts.failure.empty() && !ended) facts.failure = "the probe's facts end before its last line";
}

WizardFacts Measure(const Language& language, UINT dpi) {
    WizardFacts facts;
    ScratchFolder scratch(L"probe");
    const std::wstring result = scratch / L"facts";
    const std::wstring partial = result + L".part";
    const std::wstring probe = QuoteArgument(BuildDir() + L"\\tests\\ui\\wizard_probe.exe");
    const std::wstring library = QuoteArgument(PayloadDir() + L"\\setup" + Widen(language.code) + L".dll");
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::to_string(
                   std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                       .count()) +
               " ms";
    };
    // Processes take the scale when they start; it stays set until the probe is done all the same.
    ScopedLogPixels scale(dpi);
    if (!StartProcessInLocale(language.locale, probe + L" " + library + L" " + QuoteArgument(result))) {
        facts.failure = "the probe could not be started (error " + std::to_string(::GetLastError()) + ")";
        return facts;
    }
    if (!WaitUntil([&] { return FileExists(partial) || FileExists(result); }, RemainingBudget())) {
        facts.failure = "the probe did not begin within " + elapsed();
        return facts;
    }
    // The probe's process, from its first line, to wait for and to end if it hangs.
    DWORD pid = 0;
    WaitUntil([&] {
        if (FileExists(result)) return true;
        const std::vector<std::string> lines = ReadLines(partial);
        return !lines.empty() && std::sscanf(lines.front().c_str(), "pid %lu", &pid) == 1;
    }, 10000);
    fw::UniqueHandle process(pid ? ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid) : nullptr);
    if (!WaitUntil([&] { return FileExists(result); }, RemainingBudget())) {
        const std::vector<std::string> written = ReadLines(partial);
        facts.failure = "the probe did not finish within " + elapsed() + "; it had written " +
                        std::to_string(written.size()) + " lines, the last: " +
                        (written.empty() ? std::string("none") : written.back());
        if (process) ::TerminateProcess(process.get(), 1);
        return facts;
    }
    if (process) ::WaitForSingleObject(process.get(), 10000);
    Parse(ReadLines(result), facts);
    return facts;
}

}  // namespace

const WizardFacts& MeasureWizard(const Language& language, UINT dpi) {
    static std::map<std::pair<std::string, UINT>, WizardFacts> s_measured;
    const auto key = std::make_pair(std::string(language.code), dpi);
    auto found = s_measured.find(key);
    if (found == s_measured.end()) found = s_measured.emplace(key, Measure(language, dpi)).first;
    return found->second;
}

}  // namespace uitest
