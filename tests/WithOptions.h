#pragma once
// Changes the options an engine runs with, as applying the Options dialog does.

#include "engine/Engine.h"

namespace zentimo::test {

template <class Change> void withOptions(Engine& engine, Change change)
{
    Options o = engine.options();
    change(o);
    engine.setOptions(o);
}

} // namespace zentimo::test
