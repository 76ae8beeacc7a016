#include "FaultPlan.h"

#include <charconv>

namespace watchsim {
namespace {

std::string_view Trim(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t\n");
    if (begin == std::string_view::npos) {
        return {};
    }
    const auto end = text.find_last_not_of(" \t\n");
    return text.substr(begin, end - begin + 1);
}

[[noreturn]] void Fail(std::string_view item, std::string_view why) {
    throw FaultPlanError("fault \"" + std::string(item) + "\": " + std::string(why));
}

std::uint32_t Number(std::string_view item, std::string_view text, std::uint32_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) {
        std::string why = "not a number up to ";
        why += std::to_string(max);
        why += ": ";
        why += text;
        Fail(item, why);
    }
    return static_cast<std::uint32_t>(value);
}

bool TakesDataId(CommandKind kind) {
    switch (kind) {
        case CommandKind::DataGet:
        case CommandKind::IndexTable:
        case CommandKind::DataSize:
        case CommandKind::MetaData:
        case CommandKind::DataSet:
        case CommandKind::UploadFlag:
        case CommandKind::Other:
        case CommandKind::Any:
            return true;
        default:
            return false;
    }
}

void ParseRange(std::string_view item, std::string_view range, FaultRule& rule) {
    const auto dash = range.find('-');
    if (dash == std::string_view::npos) {
        rule.first = rule.last = Number(item, range, UINT32_MAX);
    } else {
        rule.first = Number(item, range.substr(0, dash), UINT32_MAX);
        const auto tail = range.substr(dash + 1);
        rule.last = tail.empty() ? UINT32_MAX : Number(item, tail, UINT32_MAX);
    }
    if (rule.first == 0 || rule.last < rule.first) {
        Fail(item, "the range counts from 1 and must not run backwards");
    }
}

void ParseAction(std::string_view item, std::string_view action, FaultRule& rule) {
    const auto equals = action.find('=');
    const auto name = action.substr(0, equals);
    const auto argument =
        equals == std::string_view::npos ? std::string_view{} : action.substr(equals + 1);
    const bool hasArgument = equals != std::string_view::npos;

    struct Plain {
        std::string_view name;
        FaultType type;
    };
    for (const Plain plain :
         {Plain{"silent", FaultType::Silent}, Plain{"short", FaultType::ShortRecord},
          Plain{"zerolen", FaultType::ZeroLength}, Plain{"nostart", FaultType::NoStartFlag},
          Plain{"busy", FaultType::Busy}, Plain{"reboot", FaultType::Reboot},
          Plain{"unplug", FaultType::Unplug}}) {
        if (name == plain.name) {
            if (hasArgument) {
                Fail(item, std::string(name) + " takes no value");
            }
            rule.type = plain.type;
            return;
        }
    }
    if (!hasArgument) {
        Fail(item, "unknown action \"" + std::string(name) + "\" or missing \"=value\"");
    }
    if (name == "error") {
        rule.type = FaultType::ErrorReply;
        rule.value = Number(item, argument, 0xFFFF);
    } else if (name == "code") {
        rule.type = FaultType::ReplyCode;
        rule.value = Number(item, argument, 0xFF);
    } else if (name == "status") {
        rule.type = FaultType::Status;
        rule.value = Number(item, argument, 0xFF);
    } else if (name == "drop") {
        rule.type = FaultType::DropAfter;
        rule.value = Number(item, argument, UINT32_MAX);
    } else if (name == "hwtext") {
        if (argument.empty() || argument.size() > 16) {
            Fail(item, "the hardware text holds 1 to 16 characters");
        }
        rule.type = FaultType::HardwareText;
        rule.text = std::string(argument);
    } else {
        Fail(item, "unknown action \"" + std::string(name) + "\"");
    }
}

FaultRule ParseRule(std::string_view item) {
    const auto colon = item.find(':');
    if (colon == std::string_view::npos) {
        Fail(item, "expected KIND[@DATAID][#RANGE]:ACTION");
    }
    std::string_view selector = item.substr(0, colon);
    FaultRule rule;

    if (const auto hash = selector.find('#'); hash != std::string_view::npos) {
        ParseRange(item, selector.substr(hash + 1), rule);
        selector = selector.substr(0, hash);
    }
    std::optional<std::uint16_t> dataId;
    if (const auto at = selector.find('@'); at != std::string_view::npos) {
        dataId = static_cast<std::uint16_t>(Number(item, selector.substr(at + 1), 0xFFFF));
        selector = selector.substr(0, at);
    }
    const auto kind = CommandKindFromName(selector);
    if (!kind) {
        Fail(item, "unknown request kind \"" + std::string(selector) + "\"");
    }
    if (dataId && !TakesDataId(*kind)) {
        Fail(item, "only data-class kinds take @DATAID");
    }
    rule.kind = *kind;
    rule.dataId = dataId;

    ParseAction(item, item.substr(colon + 1), rule);

    const bool openAction = rule.type == FaultType::Busy || rule.type == FaultType::HardwareText;
    if (openAction != (rule.kind == CommandKind::Open)) {
        Fail(item, "busy and hwtext go with \"open\", and \"open\" takes only those");
    }
    return rule;
}

}  // namespace

bool FaultRule::Matches(CommandKind requestKind, std::optional<std::uint16_t> requestDataId) const {
    if (kind == CommandKind::Open || requestKind == CommandKind::Open) {
        if (kind != requestKind) {
            return false;
        }
    } else if (kind != CommandKind::Any && kind != requestKind) {
        return false;
    }
    return !dataId || dataId == requestDataId;
}

FaultPlan ParseFaultPlan(std::string_view plan) {
    FaultPlan result;
    while (!plan.empty()) {
        const auto comma = plan.find(',');
        const auto item = Trim(plan.substr(0, comma));
        plan = comma == std::string_view::npos ? std::string_view{} : plan.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        if (item.starts_with("latency=")) {
            result.latency = std::chrono::microseconds(
                Number(item, item.substr(std::string_view("latency=").size()), 10'000'000));
            continue;
        }
        result.rules.push_back(ParseRule(item));
    }
    return result;
}

}  // namespace watchsim
