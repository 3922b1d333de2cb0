# Blender 3.4 Cycles rendering the lawn gramora renders in render_lawn.json: the lawn's OBJ (as
# gramora wrote it, Z up), a ground plane, a sun at azimuth and elevation 45 degrees, the sky colour
# as background, the same camera, 1280 x 720 pixels. Cycles on the CPU with THREADS threads,
# adaptive sampling and denoising off, at most 2 bounces (gramora traces reflections 2 deep).
#
#   blender -b --factory-startup -noaudio --python-exit-code 1 -P cycles_lawn.py -- LAWN.obj THREADS SPP1 SPP2
#
# Renders at SPP1 and at SPP2 samples per pixel and prints one JSON line: the two render times and
# the time of one sample per pixel, their difference divided by SPP2 - SPP1, so that loading, scene
# sync and the BVH, which both renders pay, cancel out.
import json
import math
import sys
import time

import bpy
from mathutils import Vector


def material(name, colour, roughness):
    mat = bpy.data.materials.new(name)
    mat.use_nodes = True
    bsdf = mat.node_tree.nodes["Principled BSDF"]
    bsdf.inputs["Base Color"].default_value = (*colour, 1.0)
    bsdf.inputs["Roughness"].default_value = roughness
    return mat


def look_at(obj, target):
    obj.rotation_euler = (Vector(target) - obj.location).to_track_quat("-Z", "Y").to_euler()


def main():
    args = sys.argv[sys.argv.index("--") + 1:]
    lawn_path, threads, spp1, spp2 = args[0], int(args[1]), int(args[2]), int(args[3])
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene

    bpy.ops.wm.obj_import(filepath=lawn_path, forward_axis="Y", up_axis="Z")
    grass = material("Grass", (0.45, 0.62, 0.08), 0.4)
    for obj in bpy.context.selected_objects:
        obj.data.materials.append(grass)
    bpy.ops.mesh.primitive_plane_add(size=200.0, location=(0.0, 0.0, 0.0))
    bpy.context.active_object.data.materials.append(material("Ground", (0.32, 0.27, 0.2), 1.0))

    sun = bpy.data.objects.new("Sun", bpy.data.lights.new("Sun", "SUN"))
    sun.data.energy = 3.0
    sun.data.angle = math.radians(0.54)
    az = el = math.radians(45.0)
    sun.rotation_euler = Vector((math.cos(el) * math.cos(az), math.cos(el) * math.sin(az), math.sin(el))).to_track_quat(
        "Z", "Y").to_euler()
    scene.collection.objects.link(sun)

    world = bpy.data.worlds.new("Sky")
    world.use_nodes = True
    world.node_tree.nodes["Background"].inputs["Color"].default_value = (0.62, 0.74, 0.9, 1.0)
    scene.world = world

    camera = bpy.data.objects.new("Camera", bpy.data.cameras.new("Camera"))
    camera.location = (0.0, -0.9, 0.55)
    look_at(camera, (0.0, 0.05, 0.0))
    camera.data.sensor_fit = "VERTICAL"
    camera.data.angle_y = math.radians(45.0)
    scene.collection.objects.link(camera)
    scene.camera = camera

    scene.render.engine = "CYCLES"
    scene.render.resolution_x, scene.render.resolution_y, scene.render.resolution_percentage = 1280, 720, 100
    scene.render.threads_mode = "FIXED"
    scene.render.threads = threads
    scene.cycles.device = "CPU"
    scene.cycles.use_adaptive_sampling = False
    scene.cycles.use_denoising = False
    scene.cycles.max_bounces = 2
    scene.render.filepath = "/dev/null"

    times = []
    for spp in (spp1, spp2):
        scene.cycles.samples = spp
        start = time.perf_counter()
        bpy.ops.render.render(write_still=False)
        times.append(time.perf_counter() - start)
    per_sample = (times[1] - times[0]) / (spp2 - spp1)
    print(json.dumps({"blender": bpy.app.version_string, "threads": threads, "spp": [spp1, spp2], "render_s": times,
                      "seconds_per_spp": per_sample, "samples_per_s": 1280 * 720 / per_sample}), flush=True)


main()
