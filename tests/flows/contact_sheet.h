#pragma once
// Checkpoint pictures of one flow at one size, each shrunk to at most a thumbnail's width and laid
// in rows on one PNG, to look at a flow's screens side by side.
#include <cstdint>
#include <string>
#include <vector>

class ContactSheet {
public:
    static constexpr int kColumns = 4;
    static constexpr int kThumbWidth = 400;
    static constexpr int kGap = 4;

    // A 5:6:5 picture shrunk by the smallest whole factor that fits the thumbnail width.
    void Add(const uint16_t* pixels, int width, int height);
    int Count() const { return static_cast<int>(thumbs_.size()); }
    // The sheet as 8-bit RGB rows, dark grey between the pictures.
    std::vector<uint8_t> Compose(int* width, int* height) const;
    bool Write(const std::string& path) const;

private:
    struct Thumb {
        int width, height;
        std::vector<uint8_t> rgb;
    };
    std::vector<Thumb> thumbs_;
};
