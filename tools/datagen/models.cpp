#include "models.h"

bool write_models(const std::string& dir)
{
    return write_kaleido_planes(dir) && write_mandala_models(dir) && write_scene_models(dir) && write_card_models(dir) &&
           write_flower_models(dir) &&
           write_mushroom_models(dir) &&
           write_ganesh_model(dir);
}
