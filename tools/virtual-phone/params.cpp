#include "params.h"

namespace vphone {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::vector<Param>> parseParams(const std::string& args) {
    std::vector<Param> params;
    std::size_t pos = 0;
    while (true) {
        Param param;
        if (pos < args.size() && args[pos] == '"') {
            const std::size_t close = args.find('"', pos + 1);
            if (close == std::string::npos)
                return std::nullopt;
            param.present = param.quoted = true;
            // V.250 string constants carry any byte as a backslash and two hex digits.
            for (std::size_t i = pos + 1; i < close; ++i) {
                if (args[i] == '\\' && i + 2 < close && hexValue(args[i + 1]) >= 0 &&
                    hexValue(args[i + 2]) >= 0) {
                    param.value += char(hexValue(args[i + 1]) * 16 + hexValue(args[i + 2]));
                    i += 2;
                } else {
                    param.value += args[i];
                }
            }
            pos = close + 1;
            if (pos < args.size() && args[pos] != ',')
                return std::nullopt;
        } else {
            const std::size_t comma = args.find(',', pos);
            const std::size_t end = comma == std::string::npos ? args.size() : comma;
            param.value = args.substr(pos, end - pos);
            param.present = !param.value.empty();
            if (param.value.find('"') != std::string::npos)
                return std::nullopt;
            pos = end;
        }
        params.push_back(param);
        if (pos >= args.size())
            break;
        ++pos; // the comma
        if (pos == args.size()) {
            params.push_back(Param{});
            break;
        }
    }
    return params;
}

std::optional<int> intParam(const std::vector<Param>& params, std::size_t i, int low, int high,
                            std::optional<int> fallback) {
    if (i >= params.size() || !params[i].present)
        return fallback;
    const Param& p = params[i];
    if (p.quoted || p.value.size() > 6)
        return std::nullopt;
    int value = 0;
    for (char c : p.value) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::string> stringParam(const std::vector<Param>& params, std::size_t i) {
    if (i >= params.size() || !params[i].present || !params[i].quoted)
        return std::nullopt;
    return params[i].value;
}

std::string quoteRaw(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\\22";
        else if (c == '\\')
            out += "\\5C";
        else
            out += c;
    }
    return out + "\"";
}

} // namespace vphone
