"""The show's sections, shared by the look and performance reports."""

# Sections of the show: start and end in seconds, name, and the MIDI tracks
# whose notes the scenes on screen answer (track 2 plucks, 4 claps, 1 the
# bass note that turns the attractor ring, 10 the toms).
SECTIONS = [
    (0.0, 13.2, "intro attractor", [2]),
    (13.2, 25.0, "title", []),
    (25.0, 36.4, "flower field", [2, 4]),
    (36.4, 47.5, "first drop, mandala", [4]),
    (47.5, 52.5, "mandala + fountain", [4]),
    (52.5, 79.5, "cube tunnel + fountain", [4]),
    (79.5, 105.0, "mushroom cave", []),
    (105.0, 111.0, "interlude mandala", [4]),
    (111.0, 139.0, "statue over net sphere", [4]),
    (139.0, 151.0, "kaleido tunnel + rose", [2, 4]),
    (151.0, 166.5, "second rose + 3D kaleido", [4]),
    (166.5, 182.0, "breakdown flower field", [2, 4]),
    (182.0, 194.0, "greetings", [2, 4]),
    (194.0, 224.0, "finale", [4, 10]),
    (224.0, 233.5, "outro", [1]),
]
