#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/** The direct children of a component that are of the given type, in the order they were added:
    how the tests find an editor's controls without names or ids. */
template <typename ComponentType>
std::vector<ComponentType*> childrenOfType (juce::Component& parent)
{
    std::vector<ComponentType*> found;

    for (auto* child : parent.getChildren())
        if (auto* typed = dynamic_cast<ComponentType*> (child))
            found.push_back (typed);

    return found;
}
