// VARIANT, BSTR and SAFEARRAY: layout, bounds and ownership.
#include "com/Variant.h"

#include <gtest/gtest.h>

using namespace com;

TEST(Bstr, CountsItsLengthAndKeepsEmbeddedNuls)
{
    const char16_t text[] = u"ab\0cd";
    BSTR value = SysAllocStringLen(text, 5);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(SysStringLen(value), 5u);
    EXPECT_EQ(SysStringByteLen(value), 10u);
    EXPECT_EQ(BstrView(value), std::u16string_view(text, 5));
    EXPECT_EQ(value[5], u'\0');
    SysFreeString(value);

    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_TRUE(BstrView(nullptr).empty());
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST(SafeArray, StoresTheFirstDimensionFastestRelativeToTheLowerBounds)
{
    const SAFEARRAYBOUND bounds[2] = {{3, 1}, {2, -1}};  // rows 1..3, columns -1..0
    SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
    ASSERT_NE(array, nullptr);
    for (LONG i = 1; i <= 3; ++i) {
        for (LONG j = -1; j <= 0; ++j) {
            const LONG indices[2] = {i, j};
            const LONG value = i * 10 + j;
            ASSERT_EQ(SafeArrayPutElement(array, indices, &value), S_OK);
        }
    }
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
    const auto* values = static_cast<const LONG*>(data);
    EXPECT_EQ(std::vector<LONG>(values, values + 6), (std::vector<LONG>{9, 19, 29, 10, 20, 30}));
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    SafeArrayUnaccessData(array);

    LONG bound = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 2, &bound), S_OK);
    EXPECT_EQ(bound, -1);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &bound), S_OK);
    EXPECT_EQ(bound, 3);
    EXPECT_EQ(SafeArrayGetUBound(array, 3, &bound), DISP_E_BADINDEX);

    const LONG outside[2] = {0, 0};
    LONG value = 0;
    EXPECT_EQ(SafeArrayPutElement(array, outside, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetElement(array, outside, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, OwnsCopiesOfItsStringsAndVariants)
{
    SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 0, 2);
    BSTR text = SysAllocString(u"站点");
    const LONG first = 0;
    ASSERT_EQ(SafeArrayPutElement(strings, &first, text), S_OK);
    SysFreeString(text);  // the array keeps its own copy

    BSTR read = nullptr;
    ASSERT_EQ(SafeArrayGetElement(strings, &first, &read), S_OK);
    EXPECT_EQ(BstrView(read), u"站点");
    SysFreeString(read);

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(strings, &copy), S_OK);
    EXPECT_EQ(SafeArrayDestroy(strings), S_OK);
    ASSERT_EQ(SafeArrayGetElement(copy, &first, &read), S_OK);
    EXPECT_EQ(BstrView(read), u"站点");
    SysFreeString(read);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);

    SAFEARRAY* variants = SafeArrayCreateVector(VT_VARIANT, 1, 1);
    const LONG only = 1;
    const VARIANT value = VARIANT::fromString(u"x");
    ASSERT_EQ(SafeArrayPutElement(variants, &only, &value), S_OK);
    VARIANT back;
    ASSERT_EQ(SafeArrayGetElement(variants, &only, &back), S_OK);
    EXPECT_EQ(back.vt, VT_BSTR);
    EXPECT_NE(back.bstrVal, value.bstrVal);
    EXPECT_EQ(BstrView(back.bstrVal), u"x");
    EXPECT_EQ(SafeArrayDestroy(variants), S_OK);
}

TEST(Variant, CopiesDeeplyMovesAndClears)
{
    VARIANT text = VARIANT::fromString(u"abc");
    VARIANT copy = text;
    EXPECT_NE(copy.bstrVal, text.bstrVal);
    EXPECT_EQ(BstrView(copy.bstrVal), u"abc");

    VARIANT moved = std::move(copy);
    EXPECT_EQ(copy.vt, VT_EMPTY);
    EXPECT_EQ(BstrView(moved.bstrVal), u"abc");

    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 2);
    VARIANT numbers = VARIANT::fromArray(array);
    EXPECT_EQ(numbers.vt, VT_ARRAY | VT_R8);
    VARIANT numbersCopy = numbers;
    EXPECT_NE(numbersCopy.parray, numbers.parray);
    EXPECT_EQ(SafeArrayElementCount(numbersCopy.parray), 2u);

    EXPECT_EQ(VariantClear(&numbers), S_OK);
    EXPECT_EQ(numbers.vt, VT_EMPTY);
    EXPECT_EQ(VARIANT::fromI4(-5).lVal, -5);
    EXPECT_EQ(VARIANT::fromBool(1).boolVal, 1);
}
