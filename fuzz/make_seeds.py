#!/usr/bin/env python3
"""Seed corpora for the fuzz targets.

    fuzz/make_seeds.py OUT ROOT

Writes OUT/<target>/ with the bundled samples and presets that suit the
target and hand-made inputs for every message of its reader, each named after
what it provokes, and OUT/<target>-limits/ with the inputs that reach the
capacities (130,000 vertices, 520,000 texture coordinates, faces and
corners, 220 groups and materials, lines of 990 characters). The limit inputs
are up to a few megabytes: fuzz/run.sh runs each of them once before fuzzing,
and fuzzes with a smaller length cap.
"""
import os
import shutil
import struct
import sys

OUT, ROOT = sys.argv[1], sys.argv[2]


def put(target, name, data):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def copy(target, path):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(ROOT, path), os.path.join(folder, os.path.basename(path)))


TWO_GROUPS = ("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 1 0 0\nv 2 0 0\nv 2 1 0\nv 1 1 0\n"
              "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
              "g left\nusemtl skin\nf 1/1 2/2 3/3 4/4\ng right\nf 5/1 6/2 7/3 8/4\nf 6/2 7/3 3/3\n")


def symmetric_grid(n):
    """A bent grid, mirror-symmetric in x, two groups split at x = 0, with UVs."""
    lines = []
    for j in range(n + 1):
        for i in range(-n, n + 1):
            x, y = i / n, j / n
            lines.append("v %g %g %g" % (x, y, 0.3 * x * x - 0.1 * y))
    for j in range(n + 1):
        for i in range(2 * n + 1):
            lines.append("vt %g %g" % (i / (2 * n), j / n))
    w = 2 * n + 1
    for side, name in ((0, "left"), (1, "right")):
        lines.append("g " + name)
        lines.append("usemtl " + ("a" if side == 0 else "b"))
        for j in range(n):
            for i in range(side * n, side * n + n):
                a = j * w + i + 1
                c = [a, a + 1, a + 1 + w, a + w]
                lines.append("f " + " ".join("%d/%d" % (k, k) for k in c))
    return "\n".join(lines) + "\n"


# ---- OBJ mesh reader (also the start of the special panel pipeline) ----
obj = {
    "ok_two_groups.obj": TWO_GROUPS,
    "ok_forms.obj": "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\nvt 0 0\nvt 1 0\nvn 0 0 1\n"
                    "f 1 2 3\nf 1/1 2/2 3/1\nf 1//1 2//1 4//1\nf 1/1/1 2/2/1 4/1/1\nfo 2 3 4\n"
                    "f 1 2 -1\nf 0 1 2\nf\t1\t2\t3\nl 1 2 3 4\nl 1/1 2/2\no obj\ns 1\nmtllib x.mtl\n# c\n",
    "ok_crlf.obj": TWO_GROUPS.replace("\n", "\r\n"),
    "ok_cr_only.obj": TWO_GROUPS.replace("\n", "\r"),
    "ok_long_line_cr_mode.obj": "# " + "x" * 995 + "\r" + TWO_GROUPS.replace("\n", "\r"),
    "ok_floating_only.obj": "v 1 2 3\nv 4 5 6\n",
    "ok_spaces_tabs.obj": "v  1   2    3\nv\t1\t2\t3\nv 1 2 3 4 5\nv 1e38 -1e38 1e-38\nf 1 2 3\n",
    "ok_non_finite.obj": "v inf 0 0\nv -inf 1 0\nv 0 nan 0\nv 1 1 1\nf 1 2 3\nf 2 3 4\nf 1 3 4\n",
    "ok_float_extremes.obj": "v 3e38 0 0\nv -3e38 1 0\nv 0 1e30 0\nv 1 1 1e-45\nf 1 2 3\nf 2 3 4\nf 1 3 4\n",
    "ok_four_groups_same_name.obj": "v 0 0 0\nv 1 0 0\nv 0 1 0\ng a\nf 1 2 3\ng b\nf 1 2 3\ng a\nf 3 2 1\n"
                                    "usemtl m\nusemtl n\nusemtl m\nf 1 2 3\n",
    "err_vertex_non_3d.obj": "v 1 2\n",
    "err_vertex_token_81.obj": "v " + "1" * 81 + " 0 0\n",
    "err_vertex_empty_token.obj": "v 1  \n",
    "err_uv_format.obj": "v 0 0 0\nvt " + "1" * 21 + " 0\n",
    "err_uv_one_value.obj": "v 0 0 0\nvt 1\n",
    "err_point_later_vertex.obj": "v 0 0 0\nf 1 2 3\nv 1 0 0\nv 0 1 0\n",
    "err_point_then_group_max.obj": "v 0 0 0\nf 9 9 9\n" + "".join("g g%d\n" % k for k in range(221)),
    "err_vertex_num_zero.obj": "",
    "err_vertex_num_zero_comments.obj": "# nothing\nvn 0 0 1\n",
    "err_group_max.obj": "v 0 0 0\n" + "".join("g g%d\n" % k for k in range(221)),
    "err_material_max.obj": "v 0 0 0\n" + "".join("usemtl m%d\n" % k for k in range(221)),
    "err_mac_format.obj": "v 0 0 0\r" + "# " + "x" * 995 + "\r",
    "err_line_no_cr_end.obj": "v 0 0 0\rv 1 0 0\rv 0 1 0\rf 1 2 3",
}
for name, text in obj.items():
    put("obj", name, text)
    put("pipeline", name, text)
for path in ("data/samples/figure.obj", "data/samples/parts.obj", "data/samples/hair.obj",
             "preset/flat.obj", "preset/pyl.obj", "preset/shape.obj"):
    copy("obj", path)
for path in ("data/samples/parts.obj", "data/samples/hair.obj",
             "preset/flat.obj", "preset/pyl.obj", "preset/shape.obj"):
    copy("pipeline", path)
put("pipeline", "ok_symmetric_grid.obj", symmetric_grid(6))
put("pipeline", "ok_symmetric_grid_sharp.obj",
    symmetric_grid(4).replace("0.3", "3"))

# The capacities, each just passed.
put("obj-limits", "err_vertex_max.obj", "v 0 0 0\n" * 130001)
put("obj-limits", "err_uv_max.obj", "v 0 0 0\n" + "vt 0 0\n" * 520001)
put("obj-limits", "err_face_max.obj", "v 0 0 0\n" + "f 1\n" * 520001)
put("obj-limits", "err_line_max.obj", "v 0 0 0\n" + "l 1\n" * 520001)
put("obj-limits", "err_corner_total.obj", "v 0 0 0\n" + ("f" + " 1" * 400 + "\n") * 1301)
put("obj-limits", "ok_vertex_capacity.obj", "v 0 0 0\n" * 129999 + "v 1 1 1\nf 1 2 130000\n")
put("obj-limits", "ok_group_capacity.obj", "v 0 0 0\n" + "".join("g g%d\nf 1 1 1\n" % k for k in range(220)))

# ---- Poser prop and hair reader ----
PROP = ("{\nprop crate_1\n\t{\n\tgeomCustom\n\t\t{\n\t\tnumbVerts 4\n\t\tv 0 0 0\n\t\tv 1 0 0\n\t\tv 1 1 0\n"
        "\t\tv 0 1 0\n\t\tvt 0 0\n\t\tvt 1 1\n\t\tusemtl Wood\n\t\tf 1/1 2/2 3/2 4/1\n\t\t}\n\t}\n"
        "prop lamp_1\n\t{\n\t\tv 0 0 1\n\t\tv 1 0 1\n\t\tv 0 1 1\n\t\tusemtl Metal\n\t\tf 1 2 3\n\t\tl 1 2\n\t}\n"
        "material Wood\n\t{\n\tKdColor 0.5 0.3 0.1 1\n\t}\nmaterial Metal\n\t{\n\tKdColor 0 0 0 1\n\t}\n"
        "material Nothing\n\t{\n\tKdColor 1 1 1 1\n\t}\n}\n")
prop = {
    "ok_two_props.pp2": PROP,
    "ok_crlf.pp2": PROP.replace("\n", "\r\n"),
    "ok_cr_only.pp2": PROP.replace("\n", "\r"),
    "ok_long_line_cr_mode.pp2": "# " + "x" * 995 + "\r" + PROP.replace("\n", "\r"),
    "ok_kdcolor_before_material.pp2": "KdColor 1 0 0 1\nprop a\nv 0 0 0\nv 1 0 0\nv 0 1 0\nfo 1 2 3\n",
    "ok_indent_ten.pp2": "          v 0 0 0\n          v 1 0 0\n          v 0 1 0\n          f 1 2 3\n",
    "err_indent_eleven_zero.pp2": "           v 0 0 0\n",
    "err_vertex_num_zero.pp2": "",
    "err_vertex_non_3d.pp2": "prop a\nv 0 0\n",
    "err_kdcolor_non_3d.pp2": "prop a\nv 0 0 0\nusemtl m\nmaterial m\nKdColor 1 1\n",
    "err_point_offset.pp2": "prop a\nv 0 0 0\nprop b\nv 1 1 1\nf 1 2 3\n",
    "err_uv_format.pp2": "v 0 0 0\nvt " + "2" * 21 + " 0\n",
    "err_group_max.pp2": "v 0 0 0\n" + "".join("prop p%d\n" % k for k in range(221)),
    "err_material_max.pp2": "v 0 0 0\n" + "".join("usemtl m%d\n" % k for k in range(221)),
    "err_mac_format.pp2": "v 0 0 0\r" + "x" * 1000 + "\r",
    "info_external_geometry.pp2": "prop a\n\tobjFileGeom 0 0 :Runtime:Geometries:x.obj\n",
    "info_external_geometry_no_colon.pp2": "objFileGeom 0 0 Geometries:x.obj\n",
    "info_external_geometry_short.pp2": "objFileGeom\n",
}
for name, text in prop.items():
    put("prop", name, text)
copy("prop", "data/samples/props.pp2")
put("prop-limits", "err_vertex_max.pp2", "v 0 0 0\n" * 130001)
put("prop-limits", "err_face_max.pp2", "v 0 0 0\n" + "f 1\n" * 520001)

# ---- Morph target loader, against the two-group mesh of 8 vertices ----
def target(moves):
    vs = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (1, 0, 0), (2, 0, 0), (2, 1, 0), (1, 1, 0)]
    return "".join("v %g %g %g\n" % (x + moves.get(k, 0), y, z) for k, (x, y, z) in enumerate(vs))


morph = {
    "ok_same.obj": target({}),
    "ok_moved.obj": target({0: 0.5, 5: -0.25}) + "f 1 2 3\ng x\nusemtl y\n",
    "ok_crlf.obj": target({1: 1}).replace("\n", "\r\n"),
    "ok_cr_only.obj": target({2: 1}).replace("\n", "\r"),
    "ok_long_line_cr_mode.obj": "#" + "y" * 1000 + "\r" + target({3: 2}).replace("\n", "\r"),
    "nomatch_vertex_max.obj": target({}) + "v 9 9 9\n",
    "nomatch_fewer.obj": "".join(target({}).splitlines(True)[:7]),
    "nomatch_empty.obj": "",
    "nomatch_non_3d.obj": "v 1 2\n",
    "nomatch_mac_format.obj": "v 0 0 0\r" + "z" * 1000 + "\r",
}
for name, text in morph.items():
    put("morph", name, text)
copy("morph", "preset/flat.obj")
put("morph-limits", "nomatch_base_capacity.obj", "v 0 0 0\n" * 130001)

# ---- The map file of "TO ORIGINAL", against the welded mesh (6 vertices, faces of 4, 4 and 3 corners) ----
def vcm(v=8, f=3, g=2, names=(b"left\n", b"right\n"), groups=(0, 1, 1),
        corners=(1, 2, 3, 4, 5, 6, 7, 8, 6, 7, 3), marker=b"HERE", vmap=(0, 1, 2, 3, 1, 4, 5, 2),
        date=b"[Tue Dec  8 08:43:28 2026]"):
    out = date + b"\0" + struct.pack("<iii", v, f, g)
    out += b"".join(n + b"\0" for n in names)
    out += struct.pack("<%di" % len(groups), *groups)
    out += struct.pack("<%di" % len(corners), *corners)
    out += marker + b"\0"
    out += struct.pack("<%di" % len(vmap), *vmap)
    return out


valid = vcm()
maps = {
    "ok_restore.vcm": valid,
    "ok_fewer_mesh_vertices_than_table.vcm": vcm(v=9, vmap=(0, 1, 2, 3, 1, 4, 5, 2, 5)),
    "ok_no_group.vcm": vcm(g=0, names=()),
    "ok_other_marker.vcm": vcm(marker=b"THERE"),
    "unmatch_vertex_count.vcm": vcm(v=5, vmap=(0, 1, 2, 3, 4)),
    "unmatch_face_count.vcm": vcm(f=4, groups=(0, 1, 1, 1)),
    "syntax_vertex_over.vcm": vcm(v=130001),
    "syntax_group_over.vcm": vcm(g=221),
    "syntax_group_negative.vcm": vcm(g=-1),
    "syntax_vertex_negative.vcm": vcm(v=-1),
    "map_entry_too_large.vcm": vcm(vmap=(0, 1, 2, 3, 1, 4, 6, 2)),
    "map_entry_negative.vcm": vcm(vmap=(0, 1, 2, 3, 1, 4, -1, 2)),
    "map_entry_huge.vcm": vcm(vmap=(0, 1, 2, 3, 1, 4, 0x7fffffff, 2)),
    "corner_out_of_range.vcm": vcm(corners=(1, 2, 3, 4, 5, 6, 7, 99, 6, 7, 3)),
    "corner_zero_negative.vcm": vcm(corners=(0, -2, 3, 4, 5, 6, 7, 8, 6, 7, 3)),
    "face_group_out_of_range.vcm": vcm(groups=(0, 5, -3)),
    "truncated_in_header.vcm": valid[:30],
    "truncated_in_names.vcm": valid[:42],
    "truncated_in_map.vcm": valid[:-6],
    "empty.vcm": b"",
    "no_terminator.vcm": b"[" + b"D" * 300,
    "names_without_end.vcm": vcm(names=(b"left\n",))[:60] + b"x" * 100,
}
for name, data in maps.items():
    put("vcm", name, data)
put("vcm-limits", "long_date.vcm", vcm(date=b"[" + b"d" * 200000 + b"]"))
put("vcm-limits", "long_name.vcm", vcm(names=(b"n" * 200000, b"r")))
