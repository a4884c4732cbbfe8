// Reads the built bundle's VST3 factory directly, the first thing any host does with a module.

#include <pluginterfaces/base/ipluginbase.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <string>

using namespace Steinberg;

namespace
{
    const std::string bundlePath = CEILORA_VST3_BUNDLE;
    const std::string modulePath = bundlePath + "/Contents/x86_64-linux/Ceilora.so";

    std::string fromUtf16 (const char16* text)
    {
        std::string result;

        for (; *text != 0; ++text)
            result += (char) *text;

        return result;
    }

    /** The module opened with dlopen and entered as a host enters it. */
    class LoadedModule
    {
    public:
        LoadedModule()
        {
            handle = dlopen (modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);

            if (handle == nullptr)
                return;

            using ModuleEntryFunction = bool (*) (void*);
            auto moduleEntry = (ModuleEntryFunction) dlsym (handle, "ModuleEntry");
            entered = moduleEntry != nullptr && moduleEntry (handle);

            if (auto getFactory = (GetFactoryProc) dlsym (handle, "GetPluginFactory"))
                factory = getFactory();
        }

        ~LoadedModule()
        {
            if (factory != nullptr)
                factory->release();

            if (handle != nullptr)
            {
                using ModuleExitFunction = bool (*)();

                if (auto moduleExit = (ModuleExitFunction) dlsym (handle, "ModuleExit"))
                    moduleExit();

                dlclose (handle);
            }
        }

        void* handle = nullptr;
        bool entered = false;
        IPluginFactory* factory = nullptr;
    };

    template <typename Interface>
    Interface* query (FUnknown* object)
    {
        void* result = nullptr;
        return object->queryInterface (Interface::iid, &result) == kResultOk ? static_cast<Interface*> (result) : nullptr;
    }

    std::array<uint8_t, 16> classIdWithPrefix (std::array<uint8_t, 8> prefix)
    {
        std::array<uint8_t, 16> id {};
        std::memcpy (id.data(), prefix.data(), 8);
        std::memcpy (id.data() + 8, "PLMRCE01", 8);
        return id;
    }
}

TEST (Vst3Factory, DescribesPelmarAsAUnicodeVendorWithoutContacts)
{
    LoadedModule module;
    ASSERT_NE (module.handle, nullptr) << dlerror();
    ASSERT_TRUE (module.entered);
    ASSERT_NE (module.factory, nullptr);

    PFactoryInfo info {};
    ASSERT_EQ (module.factory->getFactoryInfo (&info), kResultOk);
    EXPECT_STREQ (info.vendor, "Pelmar");
    EXPECT_STREQ (info.url, "");
    EXPECT_STREQ (info.email, "");
    EXPECT_EQ (info.flags, PFactoryInfo::kUnicode);

    for (const auto* entryPoint : { "GetPluginFactory", "ModuleEntry", "ModuleExit" })
        EXPECT_NE (dlsym (module.handle, entryPoint), nullptr) << entryPoint;
}

TEST (Vst3Factory, ExportsTheProcessorAndControllerClassesWithTheirIdentity)
{
    struct ExpectedClass
    {
        const char* category;
        std::array<uint8_t, 16> classId;
        const char* name;
        const char* subCategories;
    };

    const ExpectedClass expected[] {
        { "Audio Module Class",         classIdWithPrefix ({ 0xAB, 0xCD, 0xEF, 0x01, 0x91, 0x82, 0xFA, 0xEB }), "Ceilora", "Fx" },
        { "Component Controller Class", classIdWithPrefix ({ 0xAB, 0xCD, 0xEF, 0x01, 0x12, 0x34, 0xAB, 0xCD }), "Ceilora", "Fx" },
        { "Plugin Compatibility Class", {},                                                                    nullptr,   nullptr },
    };

    LoadedModule module;
    ASSERT_NE (module.factory, nullptr);
    ASSERT_EQ (module.factory->countClasses(), 3) << "the two classes, then the framework's compatibility class";

    auto* factory2 = query<IPluginFactory2> (module.factory);
    auto* factory3 = query<IPluginFactory3> (module.factory);
    ASSERT_NE (factory2, nullptr);
    ASSERT_NE (factory3, nullptr);

    for (int32 index = 0; index < 3; ++index)
    {
        const auto& want = expected[index];
        SCOPED_TRACE (want.category);

        PClassInfo2 info {};
        ASSERT_EQ (factory2->getClassInfo2 (index, &info), kResultOk);
        EXPECT_STREQ (info.category, want.category);

        if (want.name == nullptr)
            continue;

        EXPECT_EQ (std::memcmp (info.cid, want.classId.data(), 16), 0);
        EXPECT_STREQ (info.name, want.name);
        EXPECT_STREQ (info.vendor, "Pelmar");
        EXPECT_STREQ (info.version, "0.1.0");
        EXPECT_STREQ (info.sdkVersion, "VST 3.7.12");
        EXPECT_STREQ (info.subCategories, want.subCategories);
        EXPECT_EQ (info.classFlags, 0u);
        EXPECT_EQ (info.cardinality, PClassInfo::kManyInstances);

        PClassInfoW wide {};
        ASSERT_EQ (factory3->getClassInfoUnicode (index, &wide), kResultOk);
        EXPECT_EQ (std::memcmp (wide.cid, want.classId.data(), 16), 0);
        EXPECT_EQ (fromUtf16 (wide.name), want.name);
        EXPECT_EQ (fromUtf16 (wide.vendor), "Pelmar");
        EXPECT_EQ (fromUtf16 (wide.version), "0.1.0");
        EXPECT_EQ (fromUtf16 (wide.sdkVersion), "VST 3.7.12");
        EXPECT_STREQ (wide.subCategories, want.subCategories);
        EXPECT_EQ (wide.classFlags, 0u);
        EXPECT_EQ (wide.cardinality, PClassInfo::kManyInstances);
    }

    factory3->release();
    factory2->release();
}
