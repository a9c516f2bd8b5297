// Documents for the entry tests, written as score text: Load replaces the current document,
// Score gives the canonical text to compare WriteScoreText() with.
#pragma once

#include "simhost/ScoreText.h"

#include <gtest/gtest.h>

#include <string>

inline void LoadScore(const std::string& text) {
    simhost::ScoreTextError error;
    ASSERT_TRUE(simhost::ReadScoreText(text, &error)) << error.ToString();
}

inline std::string Score(const std::string& text) { return simhost::CanonicalScoreText(text); }

inline std::string Music(const std::string& text) {
    simhost::ScoreTextOptions musical;
    musical.bookkeeping = false;
    return simhost::CanonicalScoreText(text, musical);
}

inline std::string CurrentMusic() {
    simhost::ScoreTextOptions musical;
    musical.bookkeeping = false;
    return simhost::WriteScoreText(musical);
}
