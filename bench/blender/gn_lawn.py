# Blender 3.4 geometry nodes building the lawn gramora builds: an N x N grid of points one unit
# apart, each jittered by up to half a cell, carrying an instance of the same blade (61 vertices,
# 87 triangles, read from an OBJ that gramora wrote) turned by a random Z angle (0 to 360 degrees)
# and X angle (0 to 5), scaled by 0.75 to 1.25, then realized into one mesh. The blade carries
# gramora's texture coordinates (u, v) as a UV map, since gramora's lawn carries them too.
#
#   blender -b --factory-startup -noaudio --python-exit-code 1 -P gn_lawn.py -- BLADE.obj N MODE
#
# MODE "eval": evaluate the node tree (the depsgraph); "mesh": evaluate, then make a real mesh of
# the result (new_from_object), as applying the modifier does. Prints one JSON line with the
# phase times and the vertex and face counts.
import json
import math
import sys
import time

import bpy


def read_obj(path):
    """Vertices, texture vertices (u, v) and faces as (vertex, texture vertex) corners."""
    verts, uvs, faces = [], [], []
    with open(path) as f:
        for line in f:
            part = line.split()
            if not part:
                continue
            if part[0] == "v":
                verts.append(tuple(float(x) for x in part[1:4]))
            elif part[0] == "vt":
                uvs.append((float(part[1]), float(part[2])))
            elif part[0] == "f":
                faces.append(tuple(tuple(int(i) - 1 for i in c.split("/")) for c in part[1:4]))
    return verts, uvs, faces


def link(tree, out_node, out_socket, in_node, in_socket):
    tree.links.new(out_node.outputs[out_socket], in_node.inputs[in_socket])


def random_value(tree, data_type, lo, hi, seed):
    node = tree.nodes.new("FunctionNodeRandomValue")
    node.data_type = data_type
    if data_type == "FLOAT_VECTOR":
        node.inputs[0].default_value = lo
        node.inputs[1].default_value = hi
    else:
        node.inputs[2].default_value = lo
        node.inputs[3].default_value = hi
    node.inputs["Seed"].default_value = seed
    return node


def lawn_tree(blade, n):
    tree = bpy.data.node_groups.new("Lawn", "GeometryNodeTree")
    tree.inputs.new("NodeSocketGeometry", "Geometry")
    tree.outputs.new("NodeSocketGeometry", "Geometry")
    out = tree.nodes.new("NodeGroupOutput")
    grid = tree.nodes.new("GeometryNodeMeshGrid")
    grid.inputs["Size X"].default_value = n - 1
    grid.inputs["Size Y"].default_value = n - 1
    grid.inputs["Vertices X"].default_value = n
    grid.inputs["Vertices Y"].default_value = n
    jitter = tree.nodes.new("GeometryNodeSetPosition")
    link(tree, grid, "Mesh", jitter, "Geometry")
    offset = random_value(tree, "FLOAT_VECTOR", (-0.25, -0.25, 0.0), (0.25, 0.25, 0.0), 1)
    tree.links.new(offset.outputs[0], jitter.inputs["Offset"])
    info = tree.nodes.new("GeometryNodeObjectInfo")
    info.inputs["Object"].default_value = blade
    place = tree.nodes.new("GeometryNodeInstanceOnPoints")
    link(tree, jitter, "Geometry", place, "Points")
    link(tree, info, "Geometry", place, "Instance")
    turn = random_value(tree, "FLOAT_VECTOR", (0.0, 0.0, 0.0), (math.radians(5.0), 0.0, 2.0 * math.pi), 2)
    tree.links.new(turn.outputs[0], place.inputs["Rotation"])
    size = random_value(tree, "FLOAT", 0.75, 1.25, 3)
    tree.links.new(size.outputs[1], place.inputs["Scale"])
    realize = tree.nodes.new("GeometryNodeRealizeInstances")
    link(tree, place, "Instances", realize, "Geometry")
    tree.links.new(realize.outputs["Geometry"], out.inputs[0])
    return tree


def main():
    args = sys.argv[sys.argv.index("--") + 1:]
    blade_path, n, mode = args[0], int(args[1]), args[2]
    start = time.perf_counter()
    bpy.ops.wm.read_factory_settings(use_empty=True)
    verts, uvs, faces = read_obj(blade_path)
    blade_mesh = bpy.data.meshes.new("Blade")
    blade_mesh.from_pydata(verts, [], [tuple(c[0] for c in face) for face in faces])
    uv = blade_mesh.uv_layers.new(name="UVMap")
    for loop, corner in zip(blade_mesh.loops, (c for face in faces for c in face)):
        uv.data[loop.index].uv = uvs[corner[1]]
    blade = bpy.data.objects.new("Blade", blade_mesh)
    bpy.context.scene.collection.objects.link(blade)
    blade.hide_render = blade.hide_viewport = True
    host = bpy.data.objects.new("Lawn", bpy.data.meshes.new("LawnBase"))
    bpy.context.scene.collection.objects.link(host)
    host.modifiers.new("Lawn", "NODES").node_group = lawn_tree(blade, n)
    setup = time.perf_counter()

    depsgraph = bpy.context.evaluated_depsgraph_get()
    evaluated = host.evaluated_get(depsgraph)
    counts = (len(evaluated.data.vertices), len(evaluated.data.polygons))
    evaluation = time.perf_counter()
    to_mesh = 0.0
    if mode == "mesh":
        mesh = bpy.data.meshes.new_from_object(evaluated)
        counts = (len(mesh.vertices), len(mesh.polygons))
        to_mesh = time.perf_counter() - evaluation
    print(json.dumps({"blender": bpy.app.version_string, "n": n, "mode": mode, "setup_s": setup - start,
                      "evaluation_s": evaluation - setup, "to_mesh_s": to_mesh,
                      "vertices": counts[0], "faces": counts[1]}), flush=True)


main()
