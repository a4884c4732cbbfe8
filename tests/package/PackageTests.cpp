// Builds the Debian package as a release would, unpacks it as dpkg would install it, and loads the
// bundle from there through JUCE's VST3 hosting.

#include "BundleHost.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
    juce::String shellQuoted (const juce::String& text)
    {
        return "'" + text.replace ("'", "'\\''") + "'";
    }

    /** The package, built once for all tests here and unpacked into a scratch folder. */
    class DebianPackage : public testing::Test
    {
    protected:
        static void SetUpTestSuite()
        {
            folder = juce::File::createTempFile ("ceilora-package-test");
            folder.createDirectory();
            const auto log = folder.getChildFile ("cpack.log");
            const auto command = juce::String (CEILORA_CPACK) + " --config " + shellQuoted (CEILORA_CPACK_CONFIG)
                                 + " -B " + shellQuoted (folder.getChildFile ("out").getFullPathName())
                                 + " > " + shellQuoted (log.getFullPathName()) + " 2>&1";

            if (std::system (command.toRawUTF8()) != 0)
            {
                failure = "cpack failed:\n" + log.loadFileAsString();
                return;
            }

            const auto packages = folder.getChildFile ("out").findChildFiles (juce::File::findFiles, false, "*.deb");

            if (packages.size() != 1)
            {
                failure = "cpack made " + juce::String (packages.size()) + " packages";
                return;
            }

            package = packages[0];
            const auto unpack = juce::String (CEILORA_DPKG_DEB) + " -x " + shellQuoted (package.getFullPathName())
                                + " " + shellQuoted (root().getFullPathName());

            if (std::system (unpack.toRawUTF8()) != 0)
                failure = "dpkg-deb could not unpack " + package.getFileName();
        }

        static void TearDownTestSuite()
        {
            folder.deleteRecursively();
        }

        void SetUp() override
        {
            ASSERT_TRUE (failure.isEmpty()) << failure;
        }

        static juce::File root()  { return folder.getChildFile ("root"); }

        static juce::String controlField (const juce::String& field)
        {
            juce::ChildProcess dpkg;
            dpkg.start (juce::StringArray { CEILORA_DPKG_DEB, "-f", package.getFullPathName(), field });
            return dpkg.readAllProcessOutput().trim();
        }

        static inline juce::File folder, package;
        static inline juce::String failure;
    };
}

TEST (Install, PutsTheBundleWhereLinuxHostsLook)
{
    struct Case
    {
        const char* prefix;
        const char* expectedBundle;
    };

    const Case cases[] {
        { "usr/local",    "usr/local/lib/vst3/Ceilora.vst3" },
        { "home/.vst3",   "home/.vst3/Ceilora.vst3" },
        { "home/.vst3/",  "home/.vst3/Ceilora.vst3" },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.prefix);
        const auto folder = juce::File::createTempFile ("ceilora-install-test");
        const auto command = juce::String (CEILORA_CMAKE) + " --install " + shellQuoted (CEILORA_BUILD_DIR)
                             + " --prefix " + shellQuoted (folder.getFullPathName() + "/" + testCase.prefix) + " > /dev/null";

        ASSERT_EQ (std::system (command.toRawUTF8()), 0);

        juce::StringArray files;

        for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFiles))
            files.add (entry.getFile().getRelativePathFrom (folder));

        EXPECT_EQ (files, juce::StringArray (juce::String (testCase.expectedBundle) + "/Contents/x86_64-linux/Ceilora.so"))
            << "a host would not find the plug-in";
        folder.deleteRecursively();
    }
}

TEST_F (DebianPackage, InstallsJustTheBundleUnderUsrLibVst3)
{
    juce::StringArray files;

    for (const auto& entry : juce::RangedDirectoryIterator (root(), true, "*", juce::File::findFiles))
        files.add (entry.getFile().getRelativePathFrom (root()));

    EXPECT_EQ (files, juce::StringArray ("usr/lib/vst3/Ceilora.vst3/Contents/x86_64-linux/Ceilora.so"));

    EXPECT_EQ (controlField ("Package"), "ceilora");
    EXPECT_EQ (controlField ("Version"), "0.1.0");
    EXPECT_EQ (controlField ("Section"), "sound");
    EXPECT_TRUE (controlField ("Depends").contains ("libfreetype6")) << "a machine without FreeType would install a bundle that cannot load";
}

TEST_F (DebianPackage, ItsBundleLoadsInAHostAndProcessesLikeTheBuiltOne)
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 256;
    const auto installed = root().getChildFile ("usr/lib/vst3/Ceilora.vst3");

    auto packaged = BundleHost::loadBundle (sampleRate, blockSize, installed);
    auto built = BundleHost::loadBundle (sampleRate, blockSize);
    ASSERT_NE (packaged, nullptr) << "a host could not load " << installed.getFullPathName();
    ASSERT_NE (built, nullptr);

    EXPECT_EQ (packaged->getPluginDescription().name, "Ceilora");
    EXPECT_EQ (packaged->getPluginDescription().manufacturerName, "Pelmar");

    for (auto* instance : { packaged.get(), built.get() })
    {
        instance->setCurrentProgram (2);
        instance->prepareToPlay (sampleRate, blockSize);
    }

    juce::Random random (99);
    juce::MidiBuffer midi;

    for (int block = 0; block < 20; ++block)
    {
        juce::AudioBuffer<float> input (2, blockSize);

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < blockSize; ++i)
                input.setSample (channel, i, 1.6f * (2.0f * random.nextFloat() - 1.0f));

        auto fromPackage = input;
        auto fromBuild = input;
        packaged->processBlock (fromPackage, midi);
        built->processBlock (fromBuild, midi);

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_EQ (fromPackage.getSample (channel, i), fromBuild.getSample (channel, i)) << "block " << block << ", sample " << i;

        EXPECT_LT (fromPackage.getMagnitude (0, blockSize), 1.5f) << "the packaged limiter let +4 dBFS noise through";
    }

    for (auto* instance : { packaged.get(), built.get() })
        instance->releaseResources();
}
