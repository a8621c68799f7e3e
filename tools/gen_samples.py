#!/usr/bin/env python3
"""Writes VORTEL's bundled sample meshes and the three seed presets.

How to run (from any folder; Python 3 standard library only):

    python3 tools/gen_samples.py           # (re)write every file below
    python3 tools/gen_samples.py --check   # write nothing; exit 1 if a file on disk differs

Output is deterministic: the same script always writes the same bytes (LF line ends).
Before anything is written the script checks its own output: the figure is exactly
x-symmetric in its printed text, closed (every edge used once in each direction by
faces of one orientation) and has no floating vertex; the morph target moves only
vertices with x > 0; every face and line refers to existing vertices and texture
coordinates.

Files (paths relative to the repository root):

    data/samples/figure.obj     one group "figure": a closed, exactly x-symmetric creature,
                                quads "f v/t", one material
    data/samples/figure_mt.obj  morph target of figure.obj: the figure raises its left arm
                                (the x > 0 side); same vertices in the same order
    data/samples/parts.obj      the same creature cut into five groups (head, body, lArm,
                                rArm, legs) with three materials; every group carries its
                                own copies of the vertices on its borders
    data/samples/hair.obj       Poser-5 line hair: a scalp patch of quads plus a group of
                                polylines ("l"), each strand numbered consecutively
    data/samples/props.pp2      a Poser prop file with two props (a crate and a lamp), inline
                                geometry numbered from 1 in each prop, KdColor materials
    preset/shape.obj            seed F: a faceted pebble (closed, quads)
    preset/flat.obj             seed C: a flat leaf lying in the x-z plane, facing +y
    preset/pyl.obj              seed S: a closed cone (pylon)

The creature is built from a voxel cage (torso, legs, feet, arms, hands, neck, head,
snout, ears, tail), whose outer faces form a closed quad mesh, refined by Catmull-Clark
subdivision. The x mirror of every vertex is carried through the subdivision by
topology, and each mirror pair is then snapped to (x, y, z) / (-x, y, z) before printing,
so the symmetry is exact in the printed text and therefore in the floats read back.
"""

import math
import os
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))


# ----------------------------------------------------------------------------------------
# Small helpers
# ----------------------------------------------------------------------------------------

def fmt(c):
    """One coordinate as "%f" prints it, never as "-0.000000"."""
    s = "%f" % c
    return "0.000000" if s == "-0.000000" else s


def quantise(c):
    """The value a reader gets back from the printed text."""
    return float(fmt(c))


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def normalise(a):
    n = math.sqrt(dot(a, a))
    return scale(a, 1.0 / n)


def average(points):
    s = (0.0, 0.0, 0.0)
    for p in points:
        s = add(s, p)
    return scale(s, 1.0 / len(points))


def newell_normal(pts):
    """Area-weighted normal of a polygon (right-hand rule over the corner order)."""
    n = (0.0, 0.0, 0.0)
    for c in range(len(pts)):
        a, b = pts[c], pts[(c + 1) % len(pts)]
        n = add(n, ((a[1] - b[1]) * (a[2] + b[2]), (a[2] - b[2]) * (a[0] + b[0]),
                    (a[0] - b[0]) * (a[1] + b[1])))
    return n


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3.0 - 2.0 * t)


class Lcg:
    """Fixed pseudo-random sequence (31-bit linear congruential), independent of Python's."""

    def __init__(self, seed):
        self.state = seed & 0x7FFFFFFF

    def next_int(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state >> 8

    def uniform(self, lo, hi):
        return lo + (hi - lo) * (self.next_int() / float(1 << 23))


def v_line(p, indent=""):
    return "%sv %s %s %s\n" % (indent, fmt(p[0]), fmt(p[1]), fmt(p[2]))


def vt_line(uv, indent=""):
    return "%svt %s %s\n" % (indent, fmt(uv[0]), fmt(uv[1]))


def f_line(corners, indent="", keyword="f"):
    """corners: 1-based (vertex, texture) pairs, or plain vertex numbers."""
    parts = []
    for c in corners:
        parts.append("%d/%d" % c if isinstance(c, tuple) else "%d" % c)
    return "%s%s %s\n" % (indent, keyword, " ".join(parts))


# ----------------------------------------------------------------------------------------
# Mesh checks (on 0-based face lists)
# ----------------------------------------------------------------------------------------

def check_closed_manifold(faces, vertex_count, what):
    """Every edge is used exactly once in each direction, every vertex is used, and the
    faces round every vertex form one fan (no two surfaces touching at a point)."""
    directed = {}
    for fi, f in enumerate(faces):
        for c in range(len(f)):
            e = (f[c], f[(c + 1) % len(f)])
            if e in directed:
                raise SystemExit("%s: edge %s used twice in one direction" % (what, e))
            directed[e] = fi
    for (a, b) in directed:
        if (b, a) not in directed:
            raise SystemExit("%s: open edge %d-%d" % (what, a, b))
    link = [dict() for _ in range(vertex_count)]
    for f in faces:
        for c in range(len(f)):
            v, nxt, prv = f[c], f[(c + 1) % len(f)], f[c - 1]
            link[v][nxt] = prv
    for v in range(vertex_count):
        if not link[v]:
            raise SystemExit("%s: vertex %d is used by no face" % (what, v + 1))
        start = next(iter(link[v]))
        cur, steps = link[v][start], 1
        while cur != start:
            cur = link[v][cur]
            steps += 1
            if steps > len(link[v]):
                break
        if steps != len(link[v]):
            raise SystemExit("%s: vertex %d is not a single fan" % (what, v + 1))


# ----------------------------------------------------------------------------------------
# The creature: a voxel cage refined by Catmull-Clark subdivision
# ----------------------------------------------------------------------------------------

# Voxel (i, j, k) fills [i, i+1] x [j, j+1] x [k, k+1] in lattice units; lattice point
# (i, j, k) sits at world_point(i, j, k). The creature faces +z, its left side is +x.
def creature_voxels():
    vox = {}

    def fill(irange, jrange, krange, part):
        for j in jrange:
            for k in krange:
                for i in irange:
                    vox[(i, j, k)] = part

    for i in (-2, 1):
        fill([i], range(0, 4), range(-1, 1), "legs")   # legs
        fill([i], [0], [1], "legs")                    # feet, pointing forward
    fill(range(-2, 2), range(4, 8), range(-1, 1), "body")   # hips, waist, chest
    fill(range(-1, 1), [4], [-2, -3], "body")               # tail
    fill(range(2, 6), [6], range(-1, 1), "lArm")            # arm and hand, x > 0
    fill(range(-6, -2), [6], range(-1, 1), "rArm")          # arm and hand, x < 0
    fill(range(-1, 1), [8], range(-1, 1), "head")           # neck
    fill(range(-2, 2), range(9, 11), range(-1, 1), "head")  # head
    fill(range(-1, 1), [9], [1], "head")                    # snout
    fill([1], [11], [-1], "head")                           # ears
    fill([-2], [11], [-1], "head")
    return vox


# Half widths by lattice row j (index = |i|); heights by row; depths by row and k.
X_BY_ROW = {
    0: [0.0, 0.035, 0.19],
    1: [0.0, 0.045, 0.18],
    2: [0.0, 0.05, 0.17],
    3: [0.0, 0.045, 0.19],
    4: [0.0, 0.04, 0.20],
    5: [0.0, 0.09, 0.20],
    6: [0.0, 0.09, 0.22, 0.38, 0.54, 0.68, 0.80],
    7: [0.0, 0.09, 0.22, 0.38, 0.54, 0.68, 0.80],
    8: [0.0, 0.06, 0.18],
    9: [0.0, 0.06, 0.15],
    10: [0.0, 0.08, 0.17],
    11: [0.0, 0.07, 0.15],
    12: [0.0, 0.09, 0.14],
}
Y_BY_ROW = [0.0, 0.07, 0.40, 0.64, 0.80, 0.93, 1.10, 1.24, 1.37, 1.45, 1.60, 1.74, 1.88]
Z_LEGS = {-1: -0.11, 0: 0.0, 1: 0.11, 2: 0.29}
Z_BODY = {-3: -0.44, -2: -0.29, -1: -0.15, 0: 0.0, 1: 0.15}
Z_HEAD = {-1: -0.16, 0: 0.0, 1: 0.16, 2: 0.27}
Z_EARTIP = {-1: -0.13, 0: -0.04}


def world_point(i, j, k):
    a = abs(i)
    x = X_BY_ROW[j][a]
    if i < 0:
        x = -x
    y = Y_BY_ROW[j]
    if j <= 3:
        z = Z_LEGS[k]
    elif j <= 8:
        z = Z_BODY[k]
        if k <= -2:
            y += 0.05 * (-1 - k)    # the tail curls upward
    elif j <= 11:
        z = Z_HEAD[k]
        if k == 2:
            y -= 0.02               # the snout tip droops a little
    else:
        z = Z_EARTIP[k]
    return (x, y, z)


def voxel_surface(vox):
    """Outer faces of the voxel set as a quad mesh, outward facing.
    Returns points, faces (0-based), face parts and the lattice mirror of every point."""
    index = {}
    lattice = []
    faces = []
    parts = []
    axes = {0: (1, 2), 1: (2, 0), 2: (0, 1)}  # d: (u, v) with u x v = d

    def point(p):
        if p not in index:
            index[p] = len(lattice)
            lattice.append(p)
        return index[p]

    for key in sorted(vox):
        for d in range(3):
            for s in (1, -1):
                n = list(key)
                n[d] += s
                if tuple(n) in vox:
                    continue
                u, v = axes[d]
                base = list(key)
                if s > 0:
                    base[d] += 1
                corners = []
                for du, dv in ((0, 0), (1, 0), (1, 1), (0, 1)):
                    p = list(base)
                    p[u] += du
                    p[v] += dv
                    corners.append(tuple(p))
                if s < 0:
                    corners = [corners[0], corners[3], corners[2], corners[1]]
                faces.append([point(c) for c in corners])
                parts.append(vox[key])
    points = [world_point(*p) for p in lattice]
    mirror = [index[(-p[0], p[1], p[2])] for p in lattice]
    return points, faces, parts, mirror


def catmull_clark(points, faces, parts, mirror):
    """One Catmull-Clark step of a closed quad mesh; faces keep their part, and the
    vertex mirror map is carried to the new face and edge points."""
    nv, nf = len(points), len(faces)
    face_pts = [average([points[v] for v in f]) for f in faces]
    edge_index = {}
    edge_list = []
    edge_faces = []
    vert_faces = [[] for _ in range(nv)]
    vert_edges = [[] for _ in range(nv)]
    for fi, f in enumerate(faces):
        for c in range(len(f)):
            a, b = f[c], f[(c + 1) % len(f)]
            key = (min(a, b), max(a, b))
            if key not in edge_index:
                edge_index[key] = len(edge_list)
                edge_list.append(key)
                edge_faces.append([])
                vert_edges[a].append(key)
                vert_edges[b].append(key)
            edge_faces[edge_index[key]].append(fi)
            vert_faces[f[c]].append(fi)
    edge_pts = []
    for e, (a, b) in enumerate(edge_list):
        f0, f1 = edge_faces[e]
        edge_pts.append(average([points[a], points[b], face_pts[f0], face_pts[f1]]))
    vert_pts = []
    for v in range(nv):
        n = len(vert_edges[v])
        q = average([face_pts[f] for f in vert_faces[v]])
        r = average([average([points[a], points[b]]) for (a, b) in vert_edges[v]])
        vert_pts.append(scale(add(add(q, scale(r, 2.0)), scale(points[v], n - 3.0)), 1.0 / n))

    def edge_point(a, b):
        return nv + nf + edge_index[(min(a, b), max(a, b))]

    new_faces, new_parts = [], []
    for fi, f in enumerate(faces):
        m = len(f)
        for c in range(m):
            new_faces.append([f[c], edge_point(f[c], f[(c + 1) % m]), nv + fi,
                              edge_point(f[c - 1], f[c])])
            new_parts.append(parts[fi])
    face_of = {frozenset(f): fi for fi, f in enumerate(faces)}
    new_mirror = list(mirror)
    for f in faces:
        new_mirror.append(nv + face_of[frozenset(mirror[v] for v in f)])
    for (a, b) in edge_list:
        new_mirror.append(edge_point(mirror[a], mirror[b]))
    return vert_pts + face_pts + edge_pts, new_faces, new_parts, new_mirror


def snap_symmetric(points, mirror):
    """Mirror pairs become exactly (x, y, z) and (-x, y, z) after printing; vertices that
    are their own mirror get x = 0."""
    out = [None] * len(points)
    for v, p in enumerate(points):
        m = mirror[v]
        if mirror[m] != v:
            raise SystemExit("mirror map is not an involution at %d" % v)
        if m == v:
            if abs(p[0]) > 1e-9:
                raise SystemExit("centre vertex %d lies off x = 0 (%g)" % (v, p[0]))
            out[v] = (0.0, quantise(p[1]), quantise(p[2]))
        elif p[0] > 0.0:
            if p[0] < 1e-3 or abs(p[0] + points[m][0]) > 1e-9:
                raise SystemExit("vertex %d and its mirror %d do not mirror" % (v, m))
            q = (quantise(p[0]), quantise(p[1]), quantise(p[2]))
            out[v] = q
            out[m] = (-q[0], q[1], q[2])
    if any(p is None for p in out):
        raise SystemExit("a mirror pair has no vertex with x > 0")
    return out


def creature(levels):
    points, faces, parts, mirror = voxel_surface(creature_voxels())
    check_closed_manifold(faces, len(points), "creature cage")
    for _ in range(levels):
        points, faces, parts, mirror = catmull_clark(points, faces, parts, mirror)
    check_closed_manifold(faces, len(points), "creature")
    return snap_symmetric(points, mirror), faces, parts


def front_back_uvs(points, faces, vertex_key=lambda v: v):
    """Texture coordinates by projection: faces turned toward +z take the front view in
    the left half of the map, the others the back view (mirrored) in the right half.
    Returns the UV list and, per face, the 0-based UV number of each corner."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    cx, cy = (max(xs) + min(xs)) * 0.5, (max(ys) + min(ys)) * 0.5
    s = 0.46 / max(max(xs) - min(xs), max(ys) - min(ys))
    uv_index, uvs, face_uvs = {}, [], []
    for f in faces:
        front = newell_normal([points[v] for v in f])[2] >= 0.0
        corners = []
        for v in f:
            key = (vertex_key(v), front)
            if key not in uv_index:
                p = points[v]
                u = 0.25 + (p[0] - cx) * s if front else 0.75 - (p[0] - cx) * s
                uv_index[key] = len(uvs)
                uvs.append((u, 0.5 + (p[1] - cy) * s))
            corners.append(uv_index[key])
        face_uvs.append(corners)
    return uvs, face_uvs


HEADER = "# VORTEL sample: %s\n# Generated by tools/gen_samples.py; edit the generator, not this file.\n"


def write_figure(points, faces, title, uv_points=None):
    """uv_points: the shape the texture map is projected from (a morph target keeps the
    base mesh's map, so only its v lines differ)."""
    uvs, face_uvs = front_back_uvs(uv_points or points, faces)
    out = [HEADER % title]
    out += [v_line(p) for p in points]
    out += [vt_line(uv) for uv in uvs]
    out.append("g figure\n")
    out.append("usemtl skin\n")
    for f, fu in zip(faces, face_uvs):
        out.append(f_line([(v + 1, t + 1) for v, t in zip(f, fu)]))
    return "".join(out)


def raise_left_arm(points):
    """Morph: the arm on the x > 0 side turns upward about the shoulder; nothing with
    x <= 0 moves. The weight rises smoothly from the shoulder outward."""
    pivot = (0.20, 1.17)
    angle = math.radians(38.0)
    out = []
    for p in points:
        if p[0] <= 0.0:
            out.append(p)
            continue
        w = smoothstep(0.12, 0.34, p[0]) * smoothstep(0.95, 1.12, p[1])
        if w == 0.0:
            out.append(p)
            continue
        a = angle * w
        dx, dy = p[0] - pivot[0], p[1] - pivot[1]
        x = pivot[0] + dx * math.cos(a) - dy * math.sin(a)
        y = pivot[1] + dx * math.sin(a) + dy * math.cos(a)
        out.append((quantise(x), quantise(y), p[2]))
    return out


PART_ORDER = ["head", "body", "lArm", "rArm", "legs"]
PART_MATERIAL = {"head": "skin", "body": "cloth", "lArm": "skin", "rArm": "skin", "legs": "boots"}


def write_parts(points, faces, parts):
    """Each group gets its own copies of the vertices its faces use, so vertices on a
    border between groups appear once per group at the same printed position."""
    positions, group_faces = [], []
    for g in PART_ORDER:
        local = {}
        gf = []
        for f, p in zip(faces, parts):
            if p != g:
                continue
            corners = []
            for v in f:
                if v not in local:
                    local[v] = len(positions)
                    positions.append(points[v])
                corners.append(local[v])
            gf.append(corners)
        group_faces.append(gf)
    out = [HEADER % "a five-group creature whose groups share duplicated border vertices"]
    out += [v_line(p) for p in positions]
    uv_base = 0
    uv_lines, face_lines = [], []
    for g, gf in zip(PART_ORDER, group_faces):
        uvs, face_uvs = front_back_uvs(positions, gf)
        uv_lines += [vt_line(uv) for uv in uvs]
        face_lines.append("g %s\n" % g)
        face_lines.append("usemtl %s\n" % PART_MATERIAL[g])
        for f, fu in zip(gf, face_uvs):
            face_lines.append(f_line([(v + 1, uv_base + t + 1) for v, t in zip(f, fu)]))
        uv_base += len(uvs)
    return "".join(out + uv_lines + face_lines), positions, group_faces


# ----------------------------------------------------------------------------------------
# Line hair
# ----------------------------------------------------------------------------------------

def write_hair():
    centre, radius, half, n = (0.0, 1.55, 0.0), 0.12, 0.8, 8

    def on_scalp(s, t):
        d = normalise((s, 1.0, t))
        return add(centre, scale(d, radius)), d

    scalp, uvs = [], []
    for j in range(n + 1):
        for i in range(n + 1):
            s, t = -half + 2 * half * i / n, -half + 2 * half * j / n
            scalp.append(on_scalp(s, t)[0])
            uvs.append((i / float(n), j / float(n)))
    quads = []
    for j in range(n):
        for i in range(n):
            a = j * (n + 1) + i
            q = [a, a + n + 1, a + n + 2, a + 1]
            if newell_normal([scalp[v] for v in q])[1] < 0.0:
                raise SystemExit("scalp faces point inward")
            quads.append(q)
    rng = Lcg(20240607)
    strands, points = [], list(scalp)
    for _ in range(240):
        p, d = on_scalp(rng.uniform(-half * 0.95, half * 0.95), rng.uniform(-half * 0.95, half * 0.95))
        count = 5 + rng.next_int() % 6
        step = rng.uniform(0.022, 0.036)
        strand = []
        for k in range(count):
            strand.append(len(points))
            points.append(tuple(quantise(c) for c in p))
            d = normalise(add(d, (rng.uniform(-0.08, 0.08), -0.32, rng.uniform(-0.08, 0.08))))
            p = add(p, scale(d, step))
        strands.append(strand)
    out = [HEADER % "Poser-5 line hair: a scalp patch and 240 polyline strands"]
    out += [v_line(p) for p in points]
    out += [vt_line(uv) for uv in uvs]
    out.append("g scalp\n")
    out.append("usemtl scalp\n")
    out += [f_line([(v + 1, v + 1) for v in q]) for q in quads]
    out.append("g hair\n")
    out.append("usemtl hair\n")
    out += [f_line([v + 1 for v in s], keyword="l") for s in strands]
    return "".join(out), len(points), len(quads), strands


# ----------------------------------------------------------------------------------------
# Poser prop file
# ----------------------------------------------------------------------------------------

def crate_geometry():
    lo, hi, h = -0.04, 0.04, 0.08
    v = [(lo, 0.0, lo), (hi, 0.0, lo), (hi, 0.0, hi), (lo, 0.0, hi),
         (lo, h, lo), (hi, h, lo), (hi, h, hi), (lo, h, hi)]
    sides = [[3, 2, 6, 7], [2, 1, 5, 6], [1, 0, 4, 5], [0, 3, 7, 4]]
    caps = [[4, 7, 6, 5], [0, 1, 2, 3]]
    square = [(0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0)]
    uvs, groups = [], []
    for material, faces in (("Wood", sides), ("Metal", caps)):
        fl = []
        for f in faces:
            fl.append([(c, len(uvs) + n) for n, c in enumerate(f)])
            uvs += square
        groups.append((material, fl))
    return v, uvs, groups


def lamp_geometry():
    n, r, h, x0 = 8, 0.03, 0.12, 0.12
    ring = [(x0 + r * math.cos(2 * math.pi * a / n), 0.0, r * math.sin(2 * math.pi * a / n))
            for a in range(n)]
    v = ring + [(p[0], h, p[2]) for p in ring] + [(x0, h + 0.04, 0.0), (x0, 0.0, 0.0)]
    apex, bottom = 2 * n, 2 * n + 1
    uvs = [(a / float(n), 0.0) for a in range(n + 1)] + [(a / float(n), 0.6) for a in range(n + 1)]
    cap_uv = len(uvs)
    uvs += [(0.5 + 0.2 * math.cos(2 * math.pi * a / n), 0.8 + 0.15 * math.sin(2 * math.pi * a / n))
            for a in range(n)] + [(0.5, 0.8)]
    glass, metal = [], []
    for a in range(n):
        b = (a + 1) % n
        glass.append([(a, a), (n + a, n + 1 + a), (n + b, n + 2 + a), (b, a + 1)])
        metal.append([(n + a, cap_uv + a), (apex, cap_uv + n), (n + b, cap_uv + b)])
        metal.append([(b, cap_uv + b), (bottom, cap_uv + n), (a, cap_uv + a)])
    return v, uvs, [("Glass", glass), ("Metal", metal)]


MATERIAL_COLOURS = {"Wood": (0.62, 0.41, 0.2), "Metal": (0.45, 0.46, 0.5), "Glass": (0.82, 0.9, 1.0)}


def poser_number(c):
    s = ("%.6f" % c).rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def prop_geometry_block(name, geometry):
    verts, uvs, groups = geometry
    faces = [f for _, fl in groups for f in fl]
    corners = sum(len(f) for f in faces)
    out = ["prop %s\n" % name, "\t{\n", "\tstorageOffset 0 0 0\n", "\tgeomCustom\n", "\t\t{\n",
           "\t\tnumbVerts %d\n" % len(verts), "\t\tnumbTVerts %d\n" % len(uvs),
           "\t\tnumbTSets %d\n" % corners, "\t\tnumbElems %d\n" % len(faces),
           "\t\tnumbSets %d\n" % corners]
    out += [v_line(p, "\t\t") for p in verts]
    out += [vt_line(uv, "\t\t") for uv in uvs]
    for material, fl in groups:
        out.append("\t\tusemtl %s\n" % material)
        out += [f_line([(v + 1, t + 1) for v, t in f], "\t\t") for f in fl]
    out += ["\t\t}\n", "\t}\n"]
    return out


def prop_parameter_block(name, label, geometry):
    verts = geometry[0]
    centre = average(verts)
    out = ["prop %s\n" % name, "\t{\n", "\tname %s\n" % label, "\ton\n", "\tbend 1\n",
           "\tdynamicsLock 1\n", "\thidden 0\n", "\taddToMenu 1\n", "\tcastsShadow 1\n",
           "\tincludeInDepthCue 1\n", "\tparent UNIVERSE\n", "\tchannels\n", "\t\t{\n"]
    for channel, internal, init, tracking in (("yRotate", "yrot", 0, 1), ("scale", "scale", 1, 0.005),
                                                ("xTran", "xtran", 0, 0.004)):
        out += ["\t\t%s %s\n" % (channel, internal), "\t\t\t{\n", "\t\t\tname %s\n" % channel,
                "\t\t\tinitValue %s\n" % poser_number(init), "\t\t\thidden 0\n",
                "\t\t\tforceLimits 0\n", "\t\t\tmin -100000\n", "\t\t\tmax 100000\n",
                "\t\t\ttrackingScale %s\n" % poser_number(tracking), "\t\t\tkeys\n", "\t\t\t\t{\n",
                "\t\t\t\tstatic 0\n", "\t\t\t\tk 0 %s\n" % poser_number(init), "\t\t\t\t}\n",
                "\t\t\tinterpStyleLocked 0\n", "\t\t\t}\n"]
    out += ["\t\t}\n",
            "\tendPoint %s %s %s\n" % tuple(poser_number(c) for c in centre),
            "\torigin %s %s %s\n" % tuple(poser_number(c) for c in centre),
            "\torientation 0 0 0\n", "\tdisplayOrigin 0\n", "\tdisplayMode USEPARENT\n",
            "\tcustomMaterial 1\n"]
    seen = []
    for material, _ in geometry[2]:
        if material in seen:
            continue
        seen.append(material)
        r, g, b = MATERIAL_COLOURS[material]
        out += ["\tmaterial %s\n" % material, "\t\t{\n",
                "\t\tKdColor %s %s %s 1\n" % (poser_number(r), poser_number(g), poser_number(b)),
                "\t\tKaColor 0 0 0 1\n", "\t\tKsColor 1 1 1 1\n", "\t\tTextureColor 1 1 1 1\n",
                "\t\tNsExponent 40\n", "\t\ttMin 0\n", "\t\ttMax 0\n", "\t\ttExpo 0.6\n",
                "\t\tbumpStrength 1\n", "\t\tksIgnoreTexture 0\n", "\t\treflectThruLights 0\n",
                "\t\treflectThruKd 0\n", "\t\ttextureMap NO_MAP\n", "\t\tbumpMap NO_MAP\n",
                "\t\treflectionMap NO_MAP\n", "\t\ttransparencyMap NO_MAP\n",
                "\t\tReflectionColor 1 1 1 1\n", "\t\treflectionStrength 1\n", "\t\t}\n"]
    out += ["\tlocked 0\n", "\tbackfaceCull 0\n", "\tvisibleInReflections 1\n",
            "\tvisibleInRender 1\n", "\t}\n"]
    return out


def check_prop(name, geometry):
    """Faces refer to the prop's own vertices and texture coordinates, numbered from 1,
    turn outward, and the prop is closed."""
    verts, uvs, groups = geometry
    faces = [f for _, fl in groups for f in fl]
    centre = average(verts)
    for f in faces:
        if any(not 0 <= v < len(verts) or not 0 <= t < len(uvs) for v, t in f):
            raise SystemExit("props.pp2: %s refers outside its own lists" % name)
        pts = [verts[v] for v, _ in f]
        if dot(newell_normal(pts), sub(average(pts), centre)) <= 0.0:
            raise SystemExit("props.pp2: a face of %s points inward" % name)
    check_closed_manifold([[v for v, _ in f] for f in faces], len(verts), "props.pp2 " + name)


def write_props():
    props = [("crate_1", "crate", crate_geometry()), ("lamp_1", "lamp", lamp_geometry())]
    for name, _, geometry in props:
        check_prop(name, geometry)
    out = ["{\n", "\n", "version\n", "\t{\n", "\tnumber 4.01\n", "\t}\n"]
    for name, _, geometry in props:
        out += prop_geometry_block(name, geometry)
    for name, label, geometry in props:
        out += prop_parameter_block(name, label, geometry)
    out += ["doc\n", "\t{\n"] + ["\taddActor %s\n" % name for name, _, _ in props] + ["\t}\n", "}\n"]
    return "".join(out), props


# ----------------------------------------------------------------------------------------
# Seed presets
# ----------------------------------------------------------------------------------------

def write_obj(title, group, material, points, uvs, faces):
    out = [HEADER % title]
    out += [v_line(p) for p in points]
    out += [vt_line(uv) for uv in uvs]
    out += ["g %s\n" % group, "usemtl %s\n" % material]
    out += [f_line([(v + 1, t + 1) for v, t in f]) for f in faces]
    return "".join(out)


def pebble():
    """A cube-sphere of 3 x 3 quads per side, flattened and dented: 56 vertices, 54 quads."""
    n = 3
    index, points, faces, uvs = {}, [], [], []
    rng = Lcg(77)
    sides = [((1, 0, 0), (0, 0, -1), (0, 1, 0)), ((-1, 0, 0), (0, 0, 1), (0, 1, 0)),
             ((0, 1, 0), (1, 0, 0), (0, 0, -1)), ((0, -1, 0), (1, 0, 0), (0, 0, 1)),
             ((0, 0, 1), (1, 0, 0), (0, 1, 0)), ((0, 0, -1), (-1, 0, 0), (0, 1, 0))]
    for sn, (d, u, w) in enumerate(sides):
        grid = []
        for j in range(n + 1):
            row = []
            for i in range(n + 1):
                a, b = -1 + 2.0 * i / n, -1 + 2.0 * j / n
                key = tuple(int(round(3 * (d[c] + a * u[c] + b * w[c]))) for c in range(3))
                if key not in index:
                    index[key] = len(points)
                    points.append(key)
                uvs.append(((sn % 3 + 0.05 + 0.9 * i / n) / 3.0, (sn // 3 + 0.05 + 0.9 * j / n) / 2.0))
                row.append((index[key], len(uvs) - 1))
            grid.append(row)
        for j in range(n):
            for i in range(n):
                faces.append([grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], grid[j + 1][i]])
    shaped = []
    for key in points:
        dn = normalise(key)
        r = 1.0 + rng.uniform(-0.12, 0.12)
        shaped.append((quantise(dn[0] * r * 0.5), quantise(dn[1] * r * 0.32), quantise(dn[2] * r * 0.42)))
    check_closed_manifold([[v for v, _ in f] for f in faces], len(shaped), "shape.obj")
    return shaped, uvs, faces


def leaf():
    """A leaf in the x-z plane, tip at +z, facing +y: a midrib and two blades."""
    stations = 8
    length, width = 1.0, 0.22
    points, uvs = [(0.0, 0.0, 0.0)], [(0.5, 0.0)]
    rows = []
    for s in range(1, stations):
        t = s / float(stations)
        w = width * math.sin(math.pi * t) ** 0.8
        z = length * t
        droop = -0.12 * t * t
        row = []
        for x, lift in ((-w, -0.02 * w / width), (0.0, 0.015), (w, -0.02 * w / width)):
            row.append(len(points))
            points.append((quantise(x), quantise(droop + lift), quantise(z)))
            uvs.append((0.5 + x / (2.2 * width), t))
        rows.append(row)
    points.append((0.0, quantise(-0.12), quantise(length)))
    uvs.append((0.5, 1.0))
    tip = len(points) - 1
    faces = [[0, rows[0][0], rows[0][1]], [0, rows[0][1], rows[0][2]]]
    for a, b in zip(rows, rows[1:]):
        faces.append([a[0], b[0], b[1], a[1]])
        faces.append([a[1], b[1], b[2], a[2]])
    last = rows[-1]
    faces += [[last[0], tip, last[1]], [last[1], tip, last[2]]]
    for f in faces:
        if newell_normal([points[v] for v in f])[1] <= 0.0:
            raise SystemExit("flat.obj: a face does not face +y")
    return points, uvs, [[(v, v) for v in f] for f in faces]


def pylon():
    """A closed cone: bottom centre, base ring, shoulder ring, apex (26 vertices)."""
    n = 12
    points = [(0.0, 0.0, 0.0)]
    for radius, y in ((0.3, 0.0), (0.12, 0.75)):
        for a in range(n):
            ang = 2 * math.pi * a / n
            points.append((quantise(radius * math.cos(ang)), y, quantise(-radius * math.sin(ang))))
    points.append((0.0, 1.0, 0.0))
    apex = len(points) - 1
    uvs = [(a / float(n), 0.0) for a in range(n + 1)] + [(a / float(n), 0.75) for a in range(n + 1)]
    uvs += [(a / float(n), 1.0) for a in range(n + 1)] + [(0.5, 0.5)]
    faces = []
    for a in range(n):
        b = (a + 1) % n
        faces.append([(0, 3 * (n + 1)), (1 + b, a + 1), (1 + a, a)])
        faces.append([(1 + a, a), (1 + b, a + 1), (1 + n + b, n + 2 + a), (1 + n + a, n + 1 + a)])
        faces.append([(1 + n + a, n + 1 + a), (1 + n + b, n + 2 + a), (apex, 2 * (n + 1) + a)])
    check_closed_manifold([[v for v, _ in f] for f in faces], len(points), "pyl.obj")
    for f in faces:
        pts = [points[v] for v, _ in f]
        if dot(newell_normal(pts), sub(average(pts), (0.0, 0.5, 0.0))) <= 0.0:
            raise SystemExit("pyl.obj: a face points inward")
    return points, uvs, faces


# ----------------------------------------------------------------------------------------
# Checks of the written text (independent of how it was built)
# ----------------------------------------------------------------------------------------

def parse_obj_text(text):
    """v texts, vt count, faces as lists of (v, t), line records, g and usemtl lines."""
    verts, vt_count, faces, lines, groups, materials = [], 0, [], [], [], []
    for raw in text.split("\n"):
        line = raw.lstrip("\t ")
        if line.startswith("v "):
            verts.append(tuple(line.split()[1:4]))
        elif line.startswith("vt "):
            vt_count += 1
        elif line.startswith("f "):
            faces.append([tuple(int(x) for x in c.split("/")) for c in line.split()[1:]])
        elif line.startswith("l "):
            lines.append([int(x) for x in line.split()[1:]])
        elif line.startswith("g "):
            groups.append(line[2:])
        elif line.startswith("usemtl "):
            materials.append(line[7:])
    return verts, vt_count, faces, lines, groups, materials


def check_references(name, verts, vt_count, faces, lines):
    for f in faces:
        for c in f:
            if not 1 <= c[0] <= len(verts) or (len(c) > 1 and not 1 <= c[1] <= vt_count):
                raise SystemExit("%s: corner %s out of range" % (name, c))
    for l in lines:
        if any(not 1 <= v <= len(verts) for v in l):
            raise SystemExit("%s: line point out of range" % name)


def check_symmetric_text(name, verts):
    seen = set(verts)
    if len(seen) != len(verts):
        raise SystemExit("%s: two vertices share a printed position" % name)
    centre = 0
    for x, y, z in verts:
        if x == "-0.000000":
            raise SystemExit("%s: x printed as -0.000000" % name)
        if x == "0.000000":
            centre += 1
            continue
        m = x[1:] if x.startswith("-") else "-" + x
        if (m, y, z) not in seen:
            raise SystemExit("%s: vertex (%s, %s, %s) has no mirror" % (name, x, y, z))
    return centre


def check_texts(files):
    fig = parse_obj_text(files["data/samples/figure.obj"])
    check_references("figure.obj", fig[0], fig[1], fig[2], fig[3])
    if len(fig[4]) != 1 or len(fig[5]) != 1:
        raise SystemExit("figure.obj: needs exactly one g and one usemtl line")
    centre = check_symmetric_text("figure.obj", fig[0])
    check_closed_manifold([[c[0] - 1 for c in f] for f in fig[2]], len(fig[0]), "figure.obj")
    mt = parse_obj_text(files["data/samples/figure_mt.obj"])
    if len(mt[0]) != len(fig[0]):
        raise SystemExit("figure_mt.obj: vertex count differs")
    moved = 0
    for a, b in zip(fig[0], mt[0]):
        if a != b:
            moved += 1
            if a[0].startswith("-") or a[0] == "0.000000":
                raise SystemExit("figure_mt.obj: a vertex with x <= 0 moves")
    if moved == 0 or mt[2] != fig[2]:
        raise SystemExit("figure_mt.obj: nothing moves, or the faces differ")
    parts = parse_obj_text(files["data/samples/parts.obj"])
    check_references("parts.obj", parts[0], parts[1], parts[2], parts[3])
    hair = parse_obj_text(files["data/samples/hair.obj"])
    check_references("hair.obj", hair[0], hair[1], hair[2], hair[3])
    for l in hair[3]:
        if l != list(range(l[0], l[0] + len(l))):
            raise SystemExit("hair.obj: a strand is not numbered consecutively")
    for p in ("preset/shape.obj", "preset/flat.obj", "preset/pyl.obj"):
        s = parse_obj_text(files[p])
        check_references(p, s[0], s[1], s[2], s[3])
        if not 8 <= len(s[0]) <= 200 or len(s[4]) != 1:
            raise SystemExit("%s: needs 8 to 200 vertices and one group" % p)
    for path, text in files.items():
        if "\r" in text or not text.endswith("\n"):
            raise SystemExit("%s: line ends must be LF" % path)
    return {"figure centre vertices": centre, "figure moved vertices": moved}


# ----------------------------------------------------------------------------------------

def build():
    files = {}
    points, faces, _ = creature(2)
    files["data/samples/figure.obj"] = write_figure(
        points, faces, "an x-symmetric closed creature, one group")
    files["data/samples/figure_mt.obj"] = write_figure(
        raise_left_arm(points), faces, "morph target of figure.obj: the left (x > 0) arm is raised",
        uv_points=points)
    cage_points, cage_faces, cage_parts = creature(1)
    files["data/samples/parts.obj"], part_positions, group_faces = write_parts(
        cage_points, cage_faces, cage_parts)
    files["data/samples/hair.obj"], hair_v, hair_f, strands = write_hair()
    files["data/samples/props.pp2"], _ = write_props()
    files["preset/shape.obj"] = write_obj("seed F, a faceted pebble", "shape", "stone", *pebble())
    files["preset/flat.obj"] = write_obj("seed C, a flat leaf facing +y", "flat", "leaf", *leaf())
    files["preset/pyl.obj"] = write_obj("seed S, a closed cone", "pyl", "cone", *pylon())
    facts = check_texts(files)
    facts.update({
        "figure": "%d vertices, %d quads" % (len(points), len(faces)),
        "parts": "%d vertices, %d quads, groups %s" % (
            len(part_positions), sum(len(g) for g in group_faces),
            ", ".join("%s %d" % (g, len(f)) for g, f in zip(PART_ORDER, group_faces))),
        "hair": "%d vertices, %d scalp quads, %d strands" % (hair_v, hair_f, len(strands)),
    })
    return files, facts


def main(argv):
    check_only = "--check" in argv[1:]
    files, facts = build()
    differs = []
    for rel in sorted(files):
        path = os.path.join(ROOT, rel)
        data = files[rel].encode("ascii")
        old = None
        if os.path.exists(path):
            with open(path, "rb") as fh:
                old = fh.read()
        if old == data:
            continue
        differs.append(rel)
        if not check_only:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as fh:
                fh.write(data)
    for key in sorted(facts):
        print("%s: %s" % (key, facts[key]))
    if check_only:
        for rel in differs:
            print("out of date: %s" % rel)
        return 1 if differs else 0
    for rel in differs:
        print("wrote %s" % rel)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
