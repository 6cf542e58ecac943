#pragma once
// The requests with which the game window drives the progress movie.
#include <cstdint>
#include <string>

// The percentage of VALUE in TOTAL, by unsigned division without overflow;
// 0 when TOTAL is 0.
uint64_t ProgressPercent(uint32_t value, uint32_t total);

// <invoke name='NAME'><arguments><number>N</number></arguments></invoke>
std::wstring FlashNumberRequest(const wchar_t* name, uint64_t number);
// <invoke name='NAME'><arguments><string>TEXT</string></arguments></invoke>,
// with &, < and > in TEXT written as entities so that any text gives a
// well-formed request. Requests are built to their full length.
std::wstring FlashStringRequest(const wchar_t* name, const std::wstring& text);
