#include "ogg_encode.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

constexpr int kSerial = 0x4B454C4F;
constexpr float kQuality = 0.5f;

void Append(const ogg_page& page, std::vector<uint8_t>* out)
{
    out->insert(out->end(), page.header, page.header + page.header_len);
    out->insert(out->end(), page.body, page.body + page.body_len);
}

}  // namespace

bool EncodeOggVorbis(const std::vector<float>& samples, int rate, std::vector<uint8_t>* out, std::string* error)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, rate, kQuality) != 0) {
        vorbis_info_clear(&info);
        *error = "the encoder refused its settings";
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kSerial);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        Append(page, out);

    const size_t chunk = 1024;
    size_t at = 0;
    bool ended = false;
    while (!ended) {
        size_t count = std::min(chunk, samples.size() - at);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);  // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                buffer[0][i] = samples[at + i];
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            at += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    Append(page, out);
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
        if (count == 0 && !ended) {
            while (ogg_stream_flush(&stream, &page))
                Append(page, out);
            ended = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}
