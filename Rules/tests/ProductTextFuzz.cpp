// Fuzz target: the product's version resource. The resource walk takes any bytes and names only
// data inside them; a version that passes is one the resource holds; a resource built from any
// texts is one block whose length is its size.
#include "Rules/ProductText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Image(Data, Data + Size);
    TResourceSpot Spot;
    if (FindVersionResource(Image.data(), Image.size(), Spot))
        Check(Spot.DataAt + Spot.Length <= Size && Spot.LengthAt + 4 <= Size,
              "the resource and its length lie inside the image");

    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 3);
    uint16_t Parts[4];
    if (ParseProductVersion(Fields[1], Parts))
        Check(ProductValueFault(ProductVersionKey, Fields[1]).empty(), "a version is taken");
    std::string Name = Fields[0].substr(0, Fields[0].size() / 2 * 2);
    std::string Resource = ProductVersionResource(Name, Fields[1], Fields[2]);
    Check(Resource.size() >= 92 && Resource.size() % 2 == 0, "a whole resource");
    Check(Resource.size() > 0xFFFF ||
              size_t(uint8_t(Resource[0]) | uint8_t(Resource[1]) << 8) == Resource.size(),
          "its length is its size");
    return 0;
}
