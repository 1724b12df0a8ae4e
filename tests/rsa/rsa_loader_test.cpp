// The loader: where it looks, each failing step, and the component's
// object conventions (interfaces, reference counts, classes).
#include "rsa_test_support.h"

#include <dlfcn.h>

#include <filesystem>

namespace qh::test {
namespace {

TEST(RsaLoader, LoadsTheComponentBesideTheExecutable) {
    EXPECT_EQ(std::filesystem::canonical(DefaultRsaComponentPath()), std::filesystem::canonical(QH_TEST_RSA_COMPONENT));

    RsaComponentLoader loader;
    for (int round = 0; round < 2; ++round) { // unload, then load again
        ASSERT_EQ(loader.load(QH_TEST_RSA_COMPONENT), RsaLoadResult::Loaded) << loader.errorText();
        ASSERT_NE(loader.component(), nullptr);
        SetRsaComponent(loader.component());
        EXPECT_EQ(RsaClient(*RsaComponent()).multiply("3", "5").value, "f");
        SetRsaComponent(nullptr);
        loader.unload();
        EXPECT_EQ(loader.component(), nullptr);
    }
}

// An installed tree: bin/ and the component folder beside it, wherever the tree is.
TEST(RsaLoader, FindsTheComponentBesideTheProgramThenInTheTreeThenWhereConfigured) {
    ScratchFolder folder;
    const std::filesystem::path bin = std::filesystem::path(folder.path("tree")) / "bin";
    const std::filesystem::path inTree =
        (bin / QH_TEST_COMPONENTDIR_FROM_BIN / kQhRsaComponentFileName).lexically_normal();
    if (inTree.string().rfind(folder.path("tree"), 0) != 0)
        GTEST_SKIP() << "the library folder is configured outside the installation prefix";
    const std::string configured = std::string(QH_TEST_INSTALL_COMPONENTDIR) + "/" + kQhRsaComponentFileName;
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(inTree.parent_path());

    EXPECT_EQ(FindRsaComponent(bin.string()), configured) << "nothing in the tree";
    EXPECT_EQ(FindRsaComponent(""), configured) << "no executable folder";

    std::filesystem::copy_file(QH_TEST_RSA_COMPONENT, inTree);
    ASSERT_EQ(FindRsaComponent(bin.string()), inTree.string());
    RsaComponentLoader loader;
    ASSERT_EQ(loader.load(FindRsaComponent(bin.string())), RsaLoadResult::Loaded) << loader.errorText();
    EXPECT_EQ(RsaClient(*loader.component()).multiply("3", "5").value, "f");
    loader.unload();

    std::filesystem::copy_file(QH_TEST_RSA_COMPONENT, bin / kQhRsaComponentFileName);
    EXPECT_EQ(FindRsaComponent(bin.string()), (bin / kQhRsaComponentFileName).string());
}

TEST(RsaLoader, ReportsTheStepThatFailed) {
    ScratchFolder folder;
    WriteFile(folder.path("text.so"), "not a library");
    const std::pair<std::string, RsaLoadResult> cases[] = {
        {folder.path("missing.so"), RsaLoadResult::NotLoadable}, {folder.path("text.so"), RsaLoadResult::NotLoadable},
        {QH_TEST_RSA_NO_ENTRY, RsaLoadResult::NoEntryPoint},     {QH_TEST_RSA_NO_CLASS, RsaLoadResult::CreationFailed},
        {QH_TEST_RSA_NO_INTERFACE, RsaLoadResult::NoInterface},
    };
    RsaComponentLoader loader;
    for (const auto& [path, expected] : cases) {
        ASSERT_EQ(loader.load(QH_TEST_RSA_COMPONENT), RsaLoadResult::Loaded);
        EXPECT_EQ(loader.load(path), expected) << path;
        EXPECT_EQ(loader.component(), nullptr);
        EXPECT_FALSE(loader.errorText().empty());
    }
}

TEST(RsaLoader, ComponentObjectFollowsTheConventions) {
    void* library = ::dlopen(QH_TEST_RSA_COMPONENT, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    auto create = reinterpret_cast<QhRsaCreateInstanceFn>(::dlsym(library, kQhRsaCreateInstanceSymbol));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(::dlsym(library, "_ZN2qh3rsa6NewBnEv"), nullptr) << "only the factory is exported";

    void* out = &library;
    const QhGuid other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(create(&other, &IID_IRsaComponent, &out), QH_RSA_E_NO_CLASS);
    EXPECT_EQ(create(&CLSID_QhRsaComponent, &other, &out), QH_RSA_E_NO_INTERFACE);
    EXPECT_EQ(out, &library);

    ASSERT_EQ(create(&CLSID_QhRsaComponent, &IID_IRsaComponent, &out), QH_RSA_OK);
    auto* component = static_cast<IRsaComponent*>(out);
    void* unknown = nullptr;
    ASSERT_EQ(component->QueryInterface(IID_IQhUnknown, &unknown), QH_RSA_OK);
    EXPECT_EQ(unknown, static_cast<IQhUnknown*>(component));
    EXPECT_EQ(component->QueryInterface(other, &unknown), QH_RSA_E_NO_INTERFACE);
    EXPECT_EQ(component->AddRef(), 3u);
    EXPECT_EQ(component->Release(), 2u);
    EXPECT_EQ(static_cast<IQhUnknown*>(unknown)->Release(), 1u);
    EXPECT_EQ(component->Release(), 0u);
    ::dlclose(library);
}

} // namespace
} // namespace qh::test
