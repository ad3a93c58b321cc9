// A small model for the chart tests: attributes with scales of a given
// size (default bad and good bounds) under one top attribute, and options
// with value strings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"

namespace mivo::testing {

inline std::unique_ptr<TMivoDiscreteScale> MakeScale(const std::vector<std::string>& names) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const std::string& name : names) scale->AddValue(name);
    scale->DefaultBounds();
    return scale;
}

// Adds an attribute with a scale of the named values under `parent`.
inline TMivoAttribute* AddAttribute(TMivoAttribute* parent, const std::string& name,
                                    const std::vector<std::string>& values) {
    auto attribute = std::make_unique<TMivoAttribute>(name);
    if (!values.empty()) attribute->SetScale(MakeScale(values));
    return parent->AddInput(std::move(attribute));
}

// The value string of the value indices.
inline std::string Values(std::initializer_list<int> indices) {
    std::string text;
    for (int i : indices) text += static_cast<char>('0' + i);
    return text;
}

}  // namespace mivo::testing
