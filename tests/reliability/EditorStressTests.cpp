// The editor and the audio thread at work together, the way a user and a host drive them at once.

#include "ChildComponents.h"
#include "MessagePump.h"
#include "PlayingAudioThread.h"
#include "meters/MeterTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
    /** A user at the open editor: meters painting as their timers would, clicks on clip lights
        and peak numbers, knob moves through the attachments, preset choices and bypass. */
    class RandomEditorUser
    {
    public:
        RandomEditorUser (juce::AudioProcessorEditor& editorToUse, juce::int64 seed)
            : editor (editorToUse),
              meters (childrenOfType<LevelMeter> (editor)),
              sliders (childrenOfType<juce::Slider> (editor)),
              presetBoxes (childrenOfType<juce::ComboBox> (editor)),
              toggles (childrenOfType<juce::ToggleButton> (editor)),
              random (seed)
        {
        }

        bool foundEveryControl() const
        {
            return meters.size() == 2 && sliders.size() == 5 && presetBoxes.size() == 1 && toggles.size() == 1;
        }

        void step()
        {
            switch (random.nextInt (7))
            {
                case 0:  clickMeter(); break;
                case 1:  presetBoxes[0]->setSelectedId (random.nextInt ({ 0, presetBoxes[0]->getNumItems() + 1 }), juce::sendNotificationSync); break;
                case 2:  toggles[0]->setToggleState (! toggles[0]->getToggleState(), juce::sendNotificationSync); break;
                case 3:  moveKnob(); break;
                case 4:  paintWholeEditor(); break;
                default: paintMeters(); break;
            }

            pumpMessagesFor (1);
        }

        int framesPainted = 0;

    private:
        void paintMeters()
        {
            for (auto* meter : meters)
                juce::ignoreUnused (meter_test::paintToImage (*meter));

            ++framesPainted;
        }

        void paintWholeEditor()
        {
            juce::Image image (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true, juce::SoftwareImageType());
            juce::Graphics g (image);
            editor.paintEntireComponent (g, false);
            ++framesPainted;
        }

        void clickMeter()
        {
            auto& meter = *meters[(size_t) random.nextInt ((int) meters.size())];
            const auto onNumber = random.nextBool();
            const juce::Point<float> position { (float) random.nextInt (meter.getWidth()), onNumber ? 370.0f : 5.0f };
            meter.mouseDown (meter_test::mouseDownAt (meter, position, meter_test::leftButton));
        }

        void moveKnob()
        {
            auto& slider = *sliders[(size_t) random.nextInt ((int) sliders.size())];
            const auto proportion = random.nextDouble();
            slider.setValue (slider.proportionOfLengthToValue (proportion), juce::sendNotificationSync);
        }

        juce::AudioProcessorEditor& editor;
        std::vector<LevelMeter*> meters;
        std::vector<juce::Slider*> sliders;
        std::vector<juce::ComboBox*> presetBoxes;
        std::vector<juce::ToggleButton*> toggles;
        juce::Random random;
    };
}

// Hosts stop the audio to re-prepare while the editor stays open, and users close and reopen the
// editor while the audio plays; neither may race the meters or the controls.
TEST (EditorStress, EditorAndAudioThreadWorkTogetherThroughReprepareAndReopen)
{
    constexpr double sampleRates[] { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 };
    constexpr int blockSizes[] { 32, 256, 512, 2048 };
    constexpr int editorSessions = 6;
    constexpr int preparesPerSession = 3;
    constexpr int playTimeMs = 150;

    CeiloraAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);
    juce::Random random (17);
    int blocks = 0, frames = 0, nextBlockSize = 512;

    for (int session = 0; session < editorSessions; ++session)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        ASSERT_NE (editor, nullptr);
        RandomEditorUser user (*editor, session);
        ASSERT_TRUE (user.foundEveryControl()) << "the editor lacks a meter, knob, preset box or bypass toggle";

        for (int prepare = 0; prepare < preparesPerSession; ++prepare)
        {
            {
                PlayingAudioThread audioThread (processor, nextBlockSize, session * 10 + prepare);
                const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) playTimeMs;

                while (juce::Time::getMillisecondCounter() < end)
                    user.step();

                EXPECT_EQ (audioThread.corruptedBlocks(), 0) << "finite input came out with NaN or infinity";
                blocks += audioThread.blocksProcessed();
            }

            processor.releaseResources();
            nextBlockSize = blockSizes[random.nextInt ((int) std::size (blockSizes))];
            processor.prepareToPlay (sampleRates[random.nextInt ((int) std::size (sampleRates))], nextBlockSize);
        }

        frames += user.framesPainted;
    }

    EXPECT_GT (frames, 0);
    std::cout << "[ stress   ] " << editorSessions << " editor sessions, " << editorSessions * preparesPerSession
              << " prepares, " << blocks << " blocks, " << frames << " frames painted\n";
}
