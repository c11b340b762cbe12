#pragma once
// Builds 5TQ file bytes for tests: eight category blocks, then one block per question whose
// text and choices are stored bit-inverted and filled up with stored spaces.
#include <string>
#include <vector>

namespace rovik::test {

struct FiveChoiceQuestion {
    std::string text;                        // CP932, as it reads after inversion
    std::vector<std::string> choices{5, ""}; // choice 1 is the correct answer
};

inline std::string fixedField(const std::string& text, std::size_t size, char filler) {
    std::string bytes = text.substr(0, size);
    bytes.resize(size, filler);
    return bytes;
}

inline std::string inverted(std::string bytes) {
    for (char& c : bytes)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ 0x80);
    return bytes;
}

// The name filled up with spaces, the count at 18 (low byte first), unread bytes 0xEE.
inline std::string categoryBlock(const std::string& name, unsigned count) {
    std::string block = fixedField(name, 16, ' ');
    block += "\xEE\xEE";
    block += static_cast<char>(count & 0xFF);
    block += static_cast<char>(count >> 8);
    block.resize(256, '\xEE');
    return block;
}

inline std::string questionBlock(const FiveChoiceQuestion& q) {
    std::string block = fixedField(q.text, 116, '\xA0');
    for (const auto& choice : q.choices)
        block += fixedField(choice, 28, '\xA0');
    return inverted(block);
}

// Question n: text "Qn", choices "C1-n" to "C5-n".
inline FiveChoiceQuestion numberedQuestion(int n) {
    const std::string k = std::to_string(n);
    return {"Q" + k, {"C1-" + k, "C2-" + k, "C3-" + k, "C4-" + k, "C5-" + k}};
}

// Categories "Cat1" to "Cat8" with the given counts, followed by numbered questions.
inline std::string fiveTq(const std::vector<unsigned>& counts) {
    std::string bytes;
    unsigned total = 0;
    for (std::size_t k = 0; k < 8; ++k) {
        bytes += categoryBlock("Cat" + std::to_string(k + 1), counts[k]);
        total += counts[k];
    }
    for (unsigned q = 1; q <= total; ++q)
        bytes += questionBlock(numberedQuestion(static_cast<int>(q)));
    return bytes;
}

} // namespace rovik::test
